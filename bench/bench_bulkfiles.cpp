// Times the bulk file work at 10,000 and 100,000 cards and reports peak memory: importing a
// 30-column CSV file and saving the plan, saving a plan that holds pictures, awkward texts and
// stored views, and opening a saved plan. Each step runs in a fresh process of this program,
// so its peak memory is its own. bench/compare_spreadsheet.sh uses the single steps to run the
// same CSV files through a spreadsheet program side by side.
//
//   bench_bulkfiles                       every step at both sizes, one line of figures each
//   bench_bulkfiles csv ROWS FILE         writes a CSV file of ROWS rows and 30 columns
//   bench_bulkfiles import-save CSV PLAN  imports the CSV file into an empty plan and saves it
//   bench_bulkfiles write CARDS PLAN      builds a plan of CARDS cards and saves it
//   bench_bulkfiles open PLAN             opens a plan file
#include "BenchTools.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "storage/CsvImport.h"
#include "storage/PlanFileReader.h"
#include "storage/PlanFileWriter.h"

#include <malloc.h>

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

namespace {

const int columnCount = 30;

using BenchTools::peakMebibytes;
using BenchTools::print;
using BenchTools::residentMebibytes;
using BenchTools::runChild;

// The same numbers on every run and every machine, so both programs of a comparison and every
// build read the same files.
class Sequence
{
public:
    quint32 next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(m_state >> 33);
    }
    int below(int bound) { return int(next() % quint32(bound)); }

private:
    quint64 m_state = 2024;
};

const char *const words[]
    = {"review",  "contract", "supplier",  "budget",  "draft",  "meeting", "customer", "release",
       "invoice", "design",   "test",      "plan",    "report", "office",  "training", "migration",
       "backup",  "website",  "quarterly", "kitchen", "garden", "roof",    "survey",   "launch"};
const char *const statuses[] = {"To do", "Doing", "Waiting", "Done", "Dropped", "Blocked"};
const char *const owners[]
    = {"Ann",   "Bob",   "Chidi", "Dana",   "Emil",  "Fatma", "Gus",  "Hiro",
       "Ines",  "Jonas", "Kemal", "Lena",   "Mateo", "Nadia", "Omar", "Paula",
       "Quinn", "Rosa",  "Sven",  "Tereza", "Umar",  "Vera",  "Wen",  "Yusuf"};

QString phrase(Sequence &sequence, int wordCount)
{
    QString text;
    for (int i = 0; i < wordCount; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += QLatin1String(words[sequence.below(int(std::size(words)))]);
    }
    return text;
}

// Columns of the kinds a planning sheet holds: titles, categories, people, whole numbers,
// amounts with decimals, dates and some free text; about one cell in twenty is empty.
QString cell(Sequence &sequence, int column, int row)
{
    if (column == 0)
        return QStringLiteral("Task %1 %2").arg(row + 1).arg(phrase(sequence, 2));
    if (column > 3 && sequence.below(20) == 0)
        return QString();
    switch (column % 7) {
    case 0:
        return QLatin1String(statuses[sequence.below(int(std::size(statuses)))]);
    case 1:
        return QLatin1String(owners[sequence.below(int(std::size(owners)))]);
    case 2:
        return QString::number(sequence.below(1000));
    case 3:
        return QString::number(sequence.below(1000000) / 100.0, 'f', 2);
    case 4: {
        const QDate date = QDate(2020, 1, 1).addDays(sequence.below(2500));
        return date.toString(QStringLiteral("d/M/yyyy"));
    }
    case 5:
        return QString::number(sequence.below(5) + 1);
    default:
        // Free text, now and then with a comma or quotes that the CSV file must quote.
        switch (sequence.below(8)) {
        case 0:
            return phrase(sequence, 3) + QStringLiteral(", then ") + phrase(sequence, 2);
        case 1:
            return QStringLiteral("the \"") + phrase(sequence, 1) + QStringLiteral("\" part");
        default:
            return phrase(sequence, 2 + sequence.below(5));
        }
    }
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

int writeCsv(int rows, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        print(QStringLiteral("Can't write %1").arg(path));
        return 1;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    const char *const kinds[] = {"Status", "Owner", "Count", "Amount", "Date", "Rank", "Text"};
    for (int column = 0; column < columnCount; ++column) {
        if (column > 0)
            out << ',';
        if (column == 0)
            out << "Title";
        else
            out << kinds[column % 7] << ' ' << column;
    }
    out << '\n';
    Sequence sequence;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columnCount; ++column) {
            if (column > 0)
                out << ',';
            out << csvField(cell(sequence, column, row));
        }
        out << '\n';
    }
    out.flush();
    return file.error() == QFileDevice::NoError ? 0 : 1;
}

QString megabytes(double value)
{
    return QString::number(value, 'f', 1);
}

int importAndSave(const QString &csvPath, const QString &planPath)
{
    Document plan;
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!importCsvFile(plan, csvPath, true, &error)) {
        print(error);
        return 1;
    }
    const qint64 importTime = timer.restart();
    const double importPeak = peakMebibytes();
    if (!writePlanFile(plan, planPath, &error)) {
        print(error);
        return 1;
    }
    const qint64 saveTime = timer.elapsed();
    print(QStringLiteral("import-save %1 cards: import %2 ms, save %3 ms, total %4 ms; "
                         "peak %5 MiB after import, %6 MiB after save")
              .arg(plan.taskCount())
              .arg(importTime)
              .arg(saveTime)
              .arg(importTime + saveTime)
              .arg(megabytes(importPeak), megabytes(peakMebibytes())));
    return 0;
}

// A picture of noise, so that its PNG text is as long as a photograph's.
Image noisePicture(Sequence &sequence, int number)
{
    QImage image(128, 96, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, sequence.next() | 0xff000000);
    }
    const QString path
        = number % 2 ? QStringLiteral(":/stock/picture%1.png").arg(number) : QString();
    return Image(QPixmap::fromImage(image), QStringLiteral("Picture %1, µ").arg(number), path);
}

// Texts that need every kind of care in a plan file.
const QStringList awkward = {QStringLiteral("line one\nline two\r\nthree"),
                             QStringLiteral("say \"hi\" & <b>bye</b>"),
                             QStringLiteral("100% of %41"),
                             QStringLiteral("Ünïcödé – 東京 \U0001F600 \U0001D11E"),
                             QStringLiteral("a,b,,c"),
                             QStringLiteral("  padded  "),
                             QString()};

// A plan as a long-used one looks: thirty properties of every type with colours, pictures,
// links, notes, awkward texts, a filter and stored views with and without their appearance.
void fillPlan(Document &plan, int cards)
{
    plan.clear(false);
    Sequence sequence;
    for (int i = 0; i < 6; ++i)
        plan.addImage(noisePicture(sequence, i), false);
    for (int p = 1; p <= columnCount; ++p) {
        const int kind = p % 7;
        const int type = kind == 2 || kind == 3 ? PropertyType::Numeric
            : kind == 4                         ? PropertyType::Date
                                                : PropertyType::Automatic;
        PropertyAppearance appearance;
        if (kind == 0) {
            for (const char *status : statuses)
                appearance.setTextColor(QLatin1String(status), QColor(sequence.below(256), 90, 30));
            appearance.setTextColor(QStringLiteral("Gone"), Qt::red);
        }
        if (kind == 4) {
            appearance.setDateColor(DateBucket::Past, QColor(200, 0, 0));
            appearance.setDateColor(DateBucket::Today, QColor(0, 200, 0));
        }
        const QStringList predefined = kind == 0
            ? QStringList {QStringLiteral("To do"), QStringLiteral("Later, maybe")}
            : QStringList();
        plan.addProperty(QStringLiteral("Property %1 %2").arg(p).arg(awkward.at(p % 4).left(8)),
                         kind == 5 ? QStringLiteral("3") : QString(), type, predefined,
                         PropertyVisibility::Text, appearance, false);
    }
    for (int card = 0; card < cards; ++card) {
        plan.addTask(false);
        for (int p = 1; p <= columnCount; ++p) {
            QString value = sequence.below(97) == 0 ? awkward.at(sequence.below(awkward.size()))
                                                    : cell(sequence, p, card);
            plan.setValue(card, p, value, false, nullptr);
        }
        if (card % 3 == 0)
            plan.setTaskNotes(card, awkward.at(card % awkward.size()) + phrase(sequence, 8), false,
                              nullptr);
        if (card % 7 == 0) {
            plan.setTaskLinks(
                card,
                {HyperLink(QStringLiteral("Page, %1").arg(card),
                           QUrl(QStringLiteral("https://example.com/a b?c=%1,d").arg(card)))},
                false, nullptr);
        }
        if (card % 50 == 0)
            plan.setTaskImage(card, (card / 50) % 6, false, nullptr);
    }
    Slice &current = plan.editableCurrentView(TestPlanKey::key());
    current.xProperty = 7;
    current.yProperty = 8;
    current.filterTerms << FilterTerm(1, MatchType::Contains, QStringLiteral("10% \U0001F600"));
    current.storeAppearance = true;
    current.appearance.title = awkward.at(3);
    plan.cardsAppearanceRef(TestPlanKey::key()).footer = awkward.at(0);
    Slice plain = current;
    plain.name = QStringLiteral("Plain, \"quoted\"");
    plain.storeAppearance = false;
    Slice unnamed = current;
    unnamed.name.clear();
    unnamed.appearance.aspectRatio = 1.33333333;
    plan.storedViewsRef(TestPlanKey::key()) << unnamed << plain;
    plan.chartsAppearanceRef(TestPlanKey::key()).title = awkward.at(2);
}

int buildAndWrite(int cards, const QString &path)
{
    Document plan;
    fillPlan(plan, cards);
    const double before = peakMebibytes();
    QElapsedTimer timer;
    timer.start();
    // The value lists of every property, which the properties block of the file writes out.
    plan.valuesOfEveryProperty();
    const qint64 lists = timer.restart();
    QString error;
    if (!writePlanFile(plan, path, &error)) {
        print(error);
        return 1;
    }
    const qint64 first = timer.restart();
    // The plan is saved after every change; later saves find the pictures encoded already.
    if (!writePlanFile(plan, path, &error)) {
        print(error);
        return 1;
    }
    print(QStringLiteral("write %1 cards: %2 ms, again %3 ms (value lists alone %4 ms), file %5 "
                         "KiB; peak %6 MiB before writing, %7 MiB after")
              .arg(cards)
              .arg(first)
              .arg(timer.elapsed())
              .arg(lists)
              .arg(QFileInfo(path).size() / 1024)
              .arg(megabytes(before), megabytes(peakMebibytes())));
    return 0;
}

int open(const QString &path)
{
    const double before = residentMebibytes();
    QElapsedTimer timer;
    timer.start();
    Document plan;
    QString error;
    bool later = false;
    if (!readPlanFile(plan, path, &error, &later)) {
        print(error);
        return 1;
    }
    const qint64 elapsed = timer.elapsed();
    // What the open plan keeps, spread over its values, once the memory that reading used
    // and freed is handed back.
    malloc_trim(0);
    const double kept = residentMebibytes() - before;
    const double values = double(plan.taskCount()) * (plan.propertyCount() - 1);
    print(QStringLiteral("open %1 cards: %2 ms; peak %3 MiB (%4 MiB before opening); "
                         "%5 MiB kept, %6 bytes per value")
              .arg(plan.taskCount())
              .arg(elapsed)
              .arg(megabytes(peakMebibytes()), megabytes(before), megabytes(kept))
              .arg(values > 0 ? kept * 1024 * 1024 / values : 0.0, 0, 'f', 0));
    return 0;
}

int runAll(const QString &folder)
{
    int failures = 0;
    for (int cards : {10000, 100000}) {
        const QString csv = folder + QStringLiteral("/rows%1.csv").arg(cards);
        const QString imported = folder + QStringLiteral("/imported%1.tv").arg(cards);
        const QString written = folder + QStringLiteral("/written%1.tv").arg(cards);
        failures += writeCsv(cards, csv);
        failures += runChild({QStringLiteral("import-save"), csv, imported});
        failures += runChild({QStringLiteral("write"), QString::number(cards), written});
        failures += runChild({QStringLiteral("open"), imported});
        failures += runChild({QStringLiteral("open"), written});
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // A plan needs no more than a plain application: pictures and fonts, no windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    const QString mode = arguments.value(0);
    if (arguments.size() == 3 && mode == QLatin1String("csv"))
        return writeCsv(arguments.at(1).toInt(), arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("import-save"))
        return importAndSave(arguments.at(1), arguments.at(2));
    if (arguments.size() == 3 && mode == QLatin1String("write"))
        return buildAndWrite(arguments.at(1).toInt(), arguments.at(2));
    if (arguments.size() == 2 && mode == QLatin1String("open"))
        return open(arguments.at(1));
    if (arguments.isEmpty()) {
        QTemporaryDir folder;
        return runAll(folder.path());
    }
    print(QStringLiteral("usage: bench_bulkfiles [csv ROWS FILE | import-save CSV PLAN | "
                         "write CARDS PLAN | open PLAN]"));
    return 2;
}
