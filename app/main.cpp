#include "app/MainLoop.h"

#include <QFont>

int main(int argc, char *argv[])
{
    QFont::insertSubstitution(QStringLiteral(".Lucida Grande UI"), QStringLiteral("Lucida Grande"));
    QFont::insertSubstitution(QStringLiteral(".Helvetica Neue DeskInterface"),
                              QStringLiteral("Helvetica Neue"));
    return runProgram(argc, argv);
}
