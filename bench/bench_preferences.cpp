// Times reading a preferences store full of group lines without their closing bracket, as the
// program reads its stores and, for comparison at the smaller sizes, as Qt's own INI reader
// reads them, which looks for each bracket up to the end of the file. A cost growing faster
// than the store shows in the figures.
//
//   bench_preferences            prints the figures
#include "BenchTools.h"
#include "common/core/PreferencesFormat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

namespace {

using BenchTools::print;

// A store of the program's own keys around the given number of bytes of "[x" lines.
QByteArray storeText(int bytes)
{
    QByteArray text = "[General]\ndate_format=2\n";
    text += QByteArray("[x\n").repeated(bytes / 3);
    return text + "[cards_appearances]\nown=kept\n";
}

void measure(const QString &folder, int kibibytes, bool programsReader)
{
    const QString fileName
        = folder + QStringLiteral("/%1 %2.conf").arg(kibibytes).arg(programsReader ? "own" : "qt");
    QFile file(fileName);
    const QByteArray text = storeText(kibibytes * 1024);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return;
    file.close();
    QElapsedTimer timer;
    timer.start();
    QString kept;
    if (programsReader) {
        kept = QSettings(fileName, preferencesFormat())
                   .value(QStringLiteral("cards_appearances/own"))
                   .toString();
    } else {
        kept = QSettings(fileName, QSettings::IniFormat)
                   .value(QStringLiteral("cards_appearances/own"))
                   .toString();
    }
    print(QStringLiteral("%1 %2 KiB of '[' lines: %3 ms, value %4")
              .arg(programsReader ? "program's reader" : "Qt's INI reader ", -16)
              .arg(kibibytes, 5)
              .arg(timer.elapsed(), 6)
              .arg(kept));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    for (const int kibibytes : {64, 128})
        measure(folder.path(), kibibytes, false);
    for (const int kibibytes : {64, 128, 256, 512, 1024, 2048, 8000})
        measure(folder.path(), kibibytes, true);
    return 0;
}
