#include <QApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTextStream(stdout) << "Tavrolo has no main window yet." << Qt::endl;
    return 0;
}
