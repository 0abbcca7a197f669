// The PNG export of the Cards view of the project's large plan (10,000 cards x 30 properties) at
// the 10,000-pixel cap, in a process of its own so that its peak memory is its own: the time of
// the whole export, of the drawing and of the encoding, and the process's peak before and after.
// The plan is laid out wide (50 columns by 10 rows, the image 10,000 pixels wide) and, for the
// record, tall (10 columns by 50 rows, the image 10,000 pixels high).
// Run from the build folder with QT_QPA_PLATFORM=offscreen: bench/bench_exports.

#include "BenchTools.h"
#include "app/ExportRules.h"
#include "app/MainWindow.h"
#include "app/StartupRules.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "harness/TestPlanKey.h"
#include "model/Document.h"
#include "storage/PlanFileWriter.h"
#include "tests/storage/PlanSamples.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

namespace {

const int largeCards = 10000;
const int largeProperties = 30;
const char planVariable[] = "TAVROLO_BENCH_EXPORT_PLAN";

// Laid out by a text property of 50 values and a number in 10 bins, coloured by the text.
bool writeLargePlan(const QString &path, bool wide)
{
    Document plan;
    PlanSamples::fillLargePlan(plan, largeCards, largeProperties);
    plan.editablePropertyAppearance(3, TestPlanKey::key()).setBinSize(100);
    plan.setXProperty(wide ? 1 : 3, false);
    plan.setYProperty(wide ? 3 : 1, false);
    plan.setCardColorProperty(1, false);
    QString error;
    return writePlanFile(plan, path, &error);
}

QString mebibytes(double value)
{
    return QStringLiteral("%1 MB").arg(value, 0, 'f', 0);
}

} // namespace

class BenchExports : public QObject
{
    Q_OBJECT
private slots:
    void largePlanInAFreshProcess();
    void pngExportOfTheCardsView();
};

void BenchExports::largePlanInAFreshProcess()
{
    if (!qEnvironmentVariableIsEmpty(planVariable))
        QSKIP("the child process runs the export alone");
    QTemporaryDir folder;
    for (const bool wide : {true, false}) {
        const QString plan
            = folder.filePath(wide ? QStringLiteral("Wide.tv") : QStringLiteral("Tall.tv"));
        QVERIFY(writeLargePlan(plan, wide));
        qputenv(planVariable, plan.toUtf8());
        // No arguments: the window would take a test function's name for a plan to open.
        QCOMPARE(BenchTools::runChild({}), 0);
    }
    qunsetenv(planVariable);
}

void BenchExports::pngExportOfTheCardsView()
{
    const QString plan = qEnvironmentVariable(planVariable);
    if (plan.isEmpty())
        QSKIP("run by largePlanInAFreshProcess");
    settings()->clear();
    settings()->setValue(samplesOfferKey(), 1);
    settings()->setValue(Settings::installPageKey(), false);
    settings()->write(Settings::Key::LastPlan, plan);
    MainWindow window;
    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    auto *view = window.findChild<CardsView *>();
    QCOMPARE(doc()->taskCount(), largeCards);
    const QRectF scene = view->scene()->sceneRect();
    BenchTools::print(QStringLiteral("%1: %2 cards x %3 properties; Cards scene %4 x %5 units")
                          .arg(QFileInfo(plan).baseName())
                          .arg(largeCards)
                          .arg(largeProperties)
                          .arg(scene.width(), 0, 'f', 0)
                          .arg(scene.height(), 0, 'f', 0));
    const double peakBefore = BenchTools::peakMebibytes();
    const QString target = exportFileProposal(plan, QStringLiteral("png"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(window.exportImage(target, "png", view));
    const qint64 exportMs = timer.elapsed();
    const double peakAfter = BenchTools::peakMebibytes();
    BenchTools::print(
        QStringLiteral("PNG export: %1 ms (target 3000 ms), image %2 x %3, file %4 KB")
            .arg(exportMs)
            .arg(QImageReader(target).size().width())
            .arg(QImageReader(target).size().height())
            .arg(QFileInfo(target).size() / 1024));
    BenchTools::print(QStringLiteral("Peak memory: %1 with the plan shown, %2 after the export "
                                     "(target 600 MB)")
                          .arg(mebibytes(peakBefore), mebibytes(peakAfter)));
    // The two halves of the work, for the record.
    timer.restart();
    QImage image = ExportHandler::renderExportImage(view);
    const qint64 drawMs = timer.elapsed();
    timer.restart();
    QVERIFY(image.save(target, "png"));
    BenchTools::print(QStringLiteral("  drawing %1 ms, encoding and writing %2 ms")
                          .arg(drawMs)
                          .arg(timer.elapsed()));
}

TAVROLO_TEST_MAIN(BenchExports)
#include "bench_exports.moc"
