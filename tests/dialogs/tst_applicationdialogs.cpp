#include "app/Application.h"
#include "common/app/Accessors.h"
#include "common/core/TextHelpers.h"
#include "common/core/UrlOpener.h"
#include "common/widgets/Settings.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/GettingStartedDialog.h"
#include "harness/NamedChild.h"
#include "harness/TestMain.h"

#include <cstdlib>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// Set in the copy of this program that the exit test starts: the folder of its settings file.
const char childStoreVariable[] = "TAVROLO_TEST_EXIT_STORE";

} // namespace

class TestApplicationDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void guideAndPlanButtonFollowTheRunCounter_data();
    void guideAndPlanButtonFollowTheRunCounter();
    void openingTheGuideKeepsTheDialogOpen_data();
    void openingTheGuideKeepsTheDialogOpen();
    void closingAsksAndCancelKeepsTheWindow();
    void exitEndsTheProcessWithTheSettingsStored();
    void aboutNamesVersionAndQtLicence_data();
    void aboutNamesVersionAndQtLicence();

private:
    void runExitingChild(const QString &storeFolder);
};

void TestApplicationDialogs::init()
{
    settings()->clear();
    app()->setUiStyle(0);
}

void TestApplicationDialogs::guideAndPlanButtonFollowTheRunCounter_data()
{
    QTest::addColumn<int>("runs");
    QTest::addColumn<int>("showGuide"); // -1: key absent
    QTest::addColumn<bool>("samples");
    QTest::addColumn<bool>("guideShown");
    QTest::addColumn<QString>("planText");
    QTest::newRow("first run with samples") << 0 << -1 << true << true << "Open a sample plan";
    QTest::newRow("first run, no samples") << 0 << -1 << false << true << "Open an existing plan";
    QTest::newRow("third run") << 3 << 1 << true << false << "Open an existing plan";
    QTest::newRow("guide read") << 1 << 0 << true << false << "Open an existing plan";
}

void TestApplicationDialogs::guideAndPlanButtonFollowTheRunCounter()
{
    QFETCH(int, runs);
    QFETCH(int, showGuide);
    QFETCH(bool, samples);
    QFETCH(bool, guideShown);
    QFETCH(QString, planText);
    settings()->write(Settings::Key::Sessions, runs);
    if (showGuide >= 0)
        settings()->write(Settings::Key::ShowGettingStarted, showGuide);
    GettingStartedDialog dialog(nullptr, samples);
    QCOMPARE(child<QPushButton>(&dialog, "m_quickStartButton")->isVisibleTo(&dialog), guideShown);
    QCOMPARE(child<QPushButton>(&dialog, "m_openTavroloButton")->text(), planText);
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(Qt::white));
}

void TestApplicationDialogs::openingTheGuideKeepsTheDialogOpen_data()
{
    QTest::addColumn<bool>("browserOpens");
    QTest::newRow("browser opens") << true;
    QTest::newRow("browser fails") << false;
}

void TestApplicationDialogs::openingTheGuideKeepsTheDialogOpen()
{
    QFETCH(bool, browserOpens);
    QList<QUrl> opened;
    const UrlOpenerFunction previous = setUrlOpener([&](const QUrl &url) {
        opened << url;
        return browserOpens;
    });
    GettingStartedDialog dialog(nullptr, true);
    dialog.show();
    ModalAnswer answer(QStringLiteral("OK"), {}, {}, browserOpens ? 200 : 5000);
    child<QPushButton>(&dialog, "m_quickStartButton")->click();
    setUrlOpener(previous);
    QCOMPARE(opened, QList<QUrl>({QUrl(quickStartUrl() + QStringLiteral("?v=2_4_1"))}));
    QCOMPARE(answer.answered(), !browserOpens);
    if (!browserOpens)
        QCOMPARE(answer.shownText(),
                 QStringLiteral("Unable to access: %1. Please check you have "
                                "a working Internet connection.")
                     .arg(quickStartUrl()));
    QCOMPARE(settings()->read(Settings::Key::ShowGettingStarted).toInt(), browserOpens ? 0 : 1);
    QVERIFY(dialog.isVisible());
}

void TestApplicationDialogs::closingAsksAndCancelKeepsTheWindow()
{
    GettingStartedDialog dialog(nullptr, false);
    dialog.show();
    ModalAnswer answer(QStringLiteral("Cancel"));
    QVERIFY(!dialog.close());
    QVERIFY(answer.answered());
    QCOMPARE(answer.shownText(), QStringLiteral("Exit Tavrolo?"));
    QVERIFY(dialog.isVisible());
}

// OK in the exit box ends the process on the spot; settings set just before must still reach
// the file. A copy of this program runs the dialog, and this one looks at what it left.
void TestApplicationDialogs::exitEndsTheProcessWithTheSettingsStored()
{
    const QString childStore = qEnvironmentVariable(childStoreVariable);
    if (!childStore.isEmpty()) {
        runExitingChild(childStore);
        QFAIL("the process went on after the exit was confirmed");
    }
    QTemporaryDir store;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(childStoreVariable), store.path());
    // The exit ends the process with its windows alive on purpose; under the leak checker
    // that would count as leaks and change the exit code this test reads.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS"))
                           + QStringLiteral(":detect_leaks=0"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("exitEndsTheProcessWithTheSettingsStored")});
    QVERIFY(child.waitForFinished(60000));
    const QByteArray output = child.readAll();
    QVERIFY2(child.exitStatus() == QProcess::NormalExit, output.constData());
    QVERIFY2(child.exitCode() == 0, output.constData());
    QVERIFY2(!output.contains("FAIL"), output.constData());
    const QSettings written(store.filePath(QStringLiteral("tavrolo.ini")), QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("show_getting_started")), QVariant(0));
    QCOMPARE(written.value(QStringLiteral("sessions")), QVariant(7));
}

void TestApplicationDialogs::runExitingChild(const QString &storeFolder)
{
    // Nothing unwinds after the exit, so the throw-away home goes on the way out.
    static const QString home = qEnvironmentVariable("HOME");
    std::atexit([] {
        if (home.startsWith(QDir::tempPath()))
            QDir(home).removeRecursively();
    });
    Application::setAppDirOverride(storeFolder);
    QVERIFY(app()->usePortableSettings());
    GettingStartedDialog dialog(nullptr, false);
    dialog.show();
    // Set while the box is up, so no turn of the event loop writes them before the exit.
    ModalAnswer answer(QStringLiteral("OK"), {}, [](QWidget *) {
        settings()->write(Settings::Key::ShowGettingStarted, 0);
        settings()->write(Settings::Key::Sessions, 7);
    });
    dialog.close();
}

void TestApplicationDialogs::aboutNamesVersionAndQtLicence_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("linkColor");
    QTest::newRow("standard") << 0 << "#0000ff";
    QTest::newRow("dark") << 1 << "#3d8ec9";
}

void TestApplicationDialogs::aboutNamesVersionAndQtLicence()
{
    QFETCH(int, style);
    QFETCH(QString, linkColor);
    app()->setUiStyle(style);
    AboutDialog dialog(nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("About Tavrolo"));
    QCOMPARE(child<QLineEdit>(&dialog, "m_productLineEdit")->text(), QStringLiteral("Tavrolo"));
    QCOMPARE(child<QLineEdit>(&dialog, "m_versionLineEdit")->text(), QStringLiteral("v2.4.1"));
    // The compiler's date and time, e.g. "Sep  6 2016 14:25:59".
    const QRegularExpression build(QStringLiteral("^[A-Z][a-z]{2} [ 1-3][0-9] 20[0-9]{2} "
                                                  "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$"));
    QVERIFY(build.match(child<QLineEdit>(&dialog, "m_buildLineEdit")->text()).hasMatch());
    const QString note = child<QLabel>(&dialog, "m_LGPLLabel")->text();
    QVERIFY2(note.startsWith(QStringLiteral("Tavrolo uses Qt v%1 under LGPL v3 licensing (<a ")
                                 .arg(QLatin1String(qVersion()))),
             qPrintable(note));
    QVERIFY2(note.contains(QStringLiteral("style=\"color: %1;\">details</a>).").arg(linkColor)),
             qPrintable(note));
}

TAVROLO_TEST_MAIN(TestApplicationDialogs)
#include "tst_applicationdialogs.moc"
