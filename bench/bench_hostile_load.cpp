// Opens plans written to cost the window as much as possible for their size, each in the main
// window of a fresh process of this program limited to 4 GB and 120 s: title variables that
// expand into each other, Charts of By x Per values by the hundred million, a filter of tens
// of thousands of terms, crafted filters of far smaller terms than this program writes, and an
// ordinary plan of the same size beside them; and "Hide other rows" over 10,000 rows. Prints the
// time until the window shows the plan on the Cards tab, then on the Charts tab, and the peak
// memory, beside the plan reader's bound of 100 MB + 50 x the file's size; for a filtered plan
// also the time the Cards tab takes to show the filter set again, as when it was made; and the
// time of the title chain's expansion alone.
//
//   bench_hostile_load                      every plan and the expansion
//   bench_hostile_load openOnePlan          (used by the above) opens the plan named by
//                                           TAVROLO_HOSTILE_PLAN
#include "BenchTools.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "charts/ChartsScene.h"
#include "common/app/Accessors.h"
#include "common/app/TitleVariables.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "model/Document.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/HostilePlans.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

using BenchTools::medianMs;
using BenchTools::print;

const char planVariable[] = "TAVROLO_HOSTILE_PLAN";

void addText(Document &plan, const QString &name, const QStringList &predefined = {})
{
    plan.addProperty(name, QString(), PropertyType::Text, predefined, PropertyVisibility::Text,
                     PropertyAppearance(), false);
}

void addCard(Document &plan, const QStringList &values)
{
    QList<PropertyIndexAndValue> pairs;
    for (int p = 0; p < values.size(); ++p)
        pairs.append({p + 1, values.at(p)});
    plan.addTaskWithValues(pairs, QString(), {}, -1, false);
}

QStringList numbered(const QString &prefix, int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts.append(prefix + QString::number(i));
    return texts;
}

// The X property named "{y_property}" 4,000 times, the Y property "{bg_color_property}" 3,000
// times, and the Cards title "{x_property}".
void fillTitleChain(Document &plan)
{
    addText(plan, QStringLiteral("{y_property}").repeated(4000));
    addText(plan, QStringLiteral("{bg_color_property}").repeated(3000));
    addCard(plan, {QStringLiteral("a"), QStringLiteral("b")});
    plan.setXProperty(1, false);
    plan.setYProperty(2, false);
    plan.setCardsTitle(QStringLiteral("{x_property}"), false);
}

// Charts of the card count By and Per two text properties: cards of the given values.
void fillCharts(Document &plan, const QStringList &predefinedBy, const QStringList &predefinedPer,
                const QList<QStringList> &cards)
{
    addText(plan, QStringLiteral("By"), predefinedBy);
    addText(plan, QStringLiteral("Per"), predefinedPer);
    for (const QStringList &card : cards)
        addCard(plan, card);
    plan.setChartShowProperty(plan.propertyCount(), false);
    plan.setChartByProperty(1, false);
    plan.setChartPerProperty(2, false);
}

QList<QStringList> cards(int count, int byValues, int perValues)
{
    QList<QStringList> all;
    for (int i = 0; i < count; ++i)
        all.append(
            {QStringLiteral("b%1").arg(i % byValues), QStringLiteral("p%1").arg(i % perValues)});
    return all;
}

// 5,000 cards of three texts laid out by two of them; with terms, an advanced filter of that
// many terms that match no card, on any property.
void fillFiltered(Document &plan, int terms)
{
    addText(plan, QStringLiteral("Name"));
    addText(plan, QStringLiteral("Status"));
    addText(plan, QStringLiteral("Owner"));
    for (int i = 0; i < 5000; ++i)
        addCard(plan,
                {QStringLiteral("card %1").arg(i), QStringLiteral("s%1").arg(i % 5),
                 QStringLiteral("o%1").arg(i % 17)});
    plan.setXProperty(2, false);
    plan.setYProperty(3, false);
    QList<FilterTerm> filter;
    for (int i = 0; i < terms; ++i)
        filter << FilterTerm(0, MatchType::Contains, QStringLiteral("w%1").arg(i));
    plan.setFilter(false, true, true, filter, false, false);
}

// A plan filled in memory and written by this program, or bytes crafted by hand.
struct HostilePlan
{
    const char *name;
    std::function<void(Document &)> fill;
    std::function<QByteArray()> crafted = {};
};

// The 5,000 cards of fillFiltered with a filter of tiny terms that match no card, on any
// property, in the current view.
QByteArray craftedTermsOverCards(int terms)
{
    Document plan;
    plan.clear(false);
    fillFiltered(plan, 0);
    QByteArray bytes = planFileText(plan);
    const QByteArray empty = "<filter_terms/>";
    const int at = bytes.indexOf(empty);
    return bytes.replace(
        at, empty.size(),
        HostilePlans::container("filter_terms", "<filter_term value=\"q\"/>", terms));
}

QList<HostilePlan> hostilePlans()
{
    return {
        {"ordinary, 5,000 cards", [](Document &plan) { fillFiltered(plan, 0); }},
        {"title chain", fillTitleChain},
        {"Charts 20,000 x 20,000 predefined",
         [](Document &plan) {
             fillCharts(plan, numbered(QStringLiteral("b"), 20000),
                        numbered(QStringLiteral("p"), 20000), cards(1, 1, 1));
         }},
        {"Charts 6,000 distinct By and Per",
         [](Document &plan) { fillCharts(plan, {}, {}, cards(6000, 6000, 6000)); }},
        {"Charts 15,000 distinct By and Per",
         [](Document &plan) { fillCharts(plan, {}, {}, cards(15000, 15000, 15000)); }},
        {"Charts per 10,000 unique, By 20",
         [](Document &plan) { fillCharts(plan, {}, {}, cards(10000, 20, 10000)); }},
        {"40,000 filter terms, 5,000 cards", [](Document &plan) { fillFiltered(plan, 40000); }},
        {"1,000 filter terms (all kept), 5,000 cards",
         [](Document &plan) { fillFiltered(plan, 1000); }},
        {"Hide other rows, 10,000 cards and rows",
         [](Document &plan) { BenchTools::fillHiddenRows(plan, 10000); }},
        {"crafted 2 x 100,000 terms, no cards", nullptr,
         [] { return HostilePlans::manyFilterTerms(100000); }},
        {"crafted 100,000 terms, 5,000 cards", nullptr,
         [] { return craftedTermsOverCards(100000); }},
    };
}

// The program's own figures for one plan, as the child prints them.
QString measureInChild(const QString &path)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(planVariable), path);
    child.setProcessEnvironment(environment);
    child.setProgram(QStringLiteral("/bin/sh"));
    child.setArguments({QStringLiteral("-c"),
                        QStringLiteral("ulimit -v 4194304; exec \"$0\" openOnePlan -silent"),
                        QCoreApplication::applicationFilePath()});
    child.start();
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished(-1);
        return QStringLiteral("- - - - stopped after 120 s");
    }
    for (const QString &line : QString::fromUtf8(child.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QLatin1String("figures ")))
            return line.mid(8);
    }
    return QStringLiteral("- - - - crashed or ran out of memory (exit %1)").arg(child.exitCode());
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class BenchHostileLoad : public QObject
{
    Q_OBJECT
private slots:
    void titleChainExpansion();
    void openHostilePlans();
    void openOnePlan();
};

void BenchHostileLoad::titleChainExpansion()
{
    if (qEnvironmentVariableIsSet(planVariable))
        QSKIP("a child opens its plan only");
    Document &plan = *doc();
    plan.clear(false);
    fillTitleChain(plan);
    QString expanded;
    const double ms = medianMs([&] { expanded = expandVariables(plan.cardsTitle()); });
    print(QStringLiteral("expandVariables of the title chain: %1 us, %2 characters")
              .arg(ms * 1000, 0, 'f', 1)
              .arg(expanded.size()));
    // A chain that stops at its second step: the first expands, the second would pass the bound.
    plan.clear(false);
    addText(plan, QStringLiteral("{y_property} {y_property}"));
    addText(plan, QStringLiteral("{bg_color_property}").repeated(300));
    plan.setXProperty(1, false);
    plan.setYProperty(2, false);
    const double second
        = medianMs([&] { expanded = expandVariables(QStringLiteral("{x_property}")); });
    print(QStringLiteral("expandVariables of a chain stopping at its second step: %1 us, %2 "
                         "characters")
              .arg(second * 1000, 0, 'f', 1)
              .arg(expanded.size()));
}

void BenchHostileLoad::openHostilePlans()
{
    if (qEnvironmentVariableIsSet(planVariable))
        QSKIP("a child opens its plan only");
    QTemporaryDir folder;
    print(QStringLiteral("%1 %2  %3  %4  %5  %6")
              .arg(QStringLiteral("plan"), -36)
              .arg(QStringLiteral("size"), 9)
              .arg(QStringLiteral("Cards"), 8)
              .arg(QStringLiteral("Charts"), 8)
              .arg(QStringLiteral("peak (bound)"), 16)
              .arg(QStringLiteral("what the window holds")));
    int k = 0;
    for (const HostilePlan &hostile : hostilePlans()) {
        const QString path = folder.filePath(QStringLiteral("plan%1.tv").arg(++k));
        if (hostile.crafted) {
            QFile file(path);
            const QByteArray bytes = hostile.crafted();
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        } else {
            Document plan;
            plan.clear(false);
            hostile.fill(plan);
            QString error;
            QVERIFY2(writePlanFile(plan, path, &error), qPrintable(error));
        }
        const qint64 size = QFileInfo(path).size();
        const QStringList figures = measureInChild(path).split(QLatin1Char(' '));
        const double bound = 100 + 50.0 * size / (1024 * 1024);
        print(QStringLiteral("%1 %2 KB  %3 ms  %4 ms  %5 MB (%6)  %7")
                  .arg(QLatin1String(hostile.name), -36)
                  .arg(size / 1024, 6)
                  .arg(figures.value(0), 5)
                  .arg(figures.value(1), 5)
                  .arg(figures.value(2), 5)
                  .arg(bound, 0, 'f', 0)
                  .arg(figures.mid(3).join(QLatin1Char(' '))));
    }
}

// In the child: the plan opened with File > Open in the shown window, until the Cards tab has
// shown it, then the Charts tab chosen and shown; a notice about the plan is answered.
void BenchHostileLoad::openOnePlan()
{
    const QString path = qEnvironmentVariable(planVariable);
    if (path.isEmpty())
        QSKIP("opens the plan named by TAVROLO_HOSTILE_PLAN, in a child");
    QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("Empty.tv"));
    QString error;
    QVERIFY(writePlanFile(Document(), empty, &error));
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, empty);
    MainWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    settle();

    ModalAnswer notice(QStringLiteral("OK"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(window.openFile(path, false));
    settle();
    const qint64 cardsMs = timer.restart();
    auto *tabs = window.findChild<QTabWidget *>();
    tabs->setCurrentIndex(1);
    settle();
    const qint64 chartsMs = timer.elapsed();

    // The filter set again on the Cards tab, as the menu command or the filter section sets it.
    const double openPeak = BenchTools::peakMebibytes();
    QString remade;
    const QList<FilterTerm> terms = doc()->filterTerms();
    if (!terms.isEmpty()) {
        tabs->setCurrentIndex(0);
        const bool basic = doc()->filterBasic();
        const bool show = doc()->filterShowsMatching();
        const bool any = doc()->filterMatchAny();
        doc()->setFilter(basic, show, any, {}, true, true);
        settle();
        timer.restart();
        doc()->setFilter(basic, show, any, terms, true, true);
        settle();
        remade = QStringLiteral("; set again in %1 ms, peak %2 MB")
                     .arg(timer.elapsed())
                     .arg(BenchTools::peakMebibytes(), 0, 'f', 0);
        tabs->setCurrentIndex(1);
        settle();
    }

    const ChartsScene *charts = window.findChild<ChartsScene *>();
    const QString what
        = QStringLiteral("%1; filter %2 terms%5; title %3 characters%4")
              .arg(charts->tooManyToDraw() ? QStringLiteral("Charts: too many to draw")
                                           : QStringLiteral("%1 charts").arg(charts->chartCount()))
              .arg(doc()->filterTerms().size())
              .arg(expandVariables(doc()->cardsTitle()).size())
              .arg(notice.answered() ? QStringLiteral("; notice shown") : QString(), remade);
    print(QStringLiteral("figures %1 %2 %3 %4")
              .arg(cardsMs)
              .arg(chartsMs)
              .arg(openPeak, 0, 'f', 0)
              .arg(what));
}

TAVROLO_TEST_MAIN(BenchHostileLoad)
#include "bench_hostile_load.moc"
