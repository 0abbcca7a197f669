#include "common/Settings.h"
#include "harness/TestMain.h"

#include <memory>

#include <QLocale>
#include <QTemporaryDir>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void freshStoreYieldsDefaults();
    void storedValuesWin();
    void zoomStepStaysInRange_data();
    void zoomStepStaysInRange();
    void dialogsStayVisible_data();
    void dialogsStayVisible();
    void cachedFormatsKeepTheirValue();
    void installPageIsOfferedOncePerVersion();
    void pdfPageSizeFollowsTheCountry_data();
    void pdfPageSizeFollowsTheCountry();
    void backupFolderDefaultsToCreatedBackupsFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Settings> m_settings;
};

void TestSettings::init()
{
    m_settings.reset();
    m_dir = std::make_unique<QTemporaryDir>();
    m_settings = std::make_unique<Settings>(m_dir->filePath(QStringLiteral("tavrolo.ini")));
}

void TestSettings::freshStoreYieldsDefaults()
{
    Settings &s = *m_settings;
    QVERIFY(s.isIniFormat());
    QCOMPARE(s.animationDuration(), 0.8);
    QCOMPARE(s.backupInterval(), 10);
    QCOMPARE(s.windowTransparency(), 5);
    QCOMPARE(s.windowOpacity(), 0.95);
    QCOMPARE(s.zoomSensitivity(), 6);
    QCOMPARE(s.zoomStep(), 1.3);
    QCOMPARE(s.dateFormat(), 0);
    QCOMPARE(s.numberFormat(), 0);
    QCOMPARE(s.uiStyle(), 0);
    QCOMPARE(s.autoUpdateInterval(), 1);
    QVERIFY(s.backupTimedOn());
    QVERIFY(!s.backupEverySaveOn());
    QVERIFY(s.hideQuickAdd());
    QVERIFY(s.checkPlanUpdates());
    QVERIFY(s.showToolbarText());
    QVERIFY(!s.showOverlay());
    QVERIFY(s.storeAppearanceInView());
    QVERIFY(!s.lastUpdatedCheck().isValid());
    QCOMPARE(s.read(Settings::Key::ShowGettingStarted).toInt(), 1);
    QCOMPARE(s.read(Settings::Key::ShowQuestionFilter).toBool(), true);
    QCOMPARE(s.read(Settings::Key::ReplaceProperties).toBool(), true);
    QCOMPARE(s.read(Settings::Key::ReplaceNotes).toBool(), false);
    QCOMPARE(Settings::keyName(Settings::Key::PrefsWindowGeometry),
             QStringLiteral("prefs_window_geometry"));
    // Reading defaults must not fill the store.
    QVERIFY(!s.contains(QStringLiteral("animation_duration")));
}

void TestSettings::storedValuesWin()
{
    m_settings->setValue(QStringLiteral("ui_style"), QStringLiteral("1"));
    m_settings->setLastUpdatedCheck(QDate(2021, 3, 14));
    m_settings->setAnimationDuration(0.25);
    m_settings->sync();
    Settings reopened(m_settings->fileName());
    QCOMPARE(reopened.uiStyle(), 1);
    QCOMPARE(reopened.lastUpdatedCheck(), QDate(2021, 3, 14));
    QCOMPARE(reopened.animationDuration(), 0.25);
    reopened.setValue(QStringLiteral("last_updated_check"), QStringLiteral("yesterday"));
    QVERIFY(!reopened.lastUpdatedCheck().isValid());
}

void TestSettings::zoomStepStaysInRange_data()
{
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<double>("step");
    QTest::newRow("zero") << 0 << 1.05;
    QTest::newRow("one") << 1 << 1.05;
    QTest::newRow("negative") << -40 << 1.05;
    QTest::newRow("default") << 6 << 1.3;
    QTest::newRow("twenty") << 20 << 2.0;
    QTest::newRow("huge") << 5000 << 2.0;
}

void TestSettings::zoomStepStaysInRange()
{
    QFETCH(int, sensitivity);
    QFETCH(double, step);
    m_settings->setZoomSensitivity(sensitivity);
    QCOMPARE(m_settings->zoomStep(), step);
}

void TestSettings::dialogsStayVisible_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("opacity");
    QTest::newRow("opaque") << QVariant(0) << 1.0;
    QTest::newRow("default") << QVariant(5) << 0.95;
    QTest::newRow("ninety") << QVariant(90) << 0.1;
    QTest::newRow("hundred") << QVariant(100) << 0.1;
    QTest::newRow("hand-edited huge") << QVariant(250) << 0.1;
    QTest::newRow("negative") << QVariant(-30) << 1.0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("abc")) << 1.0;
}

void TestSettings::dialogsStayVisible()
{
    QFETCH(QVariant, stored);
    QFETCH(double, opacity);
    m_settings->setValue(QStringLiteral("window_transparency"), stored);
    QCOMPARE(m_settings->windowOpacity(), opacity);
}

void TestSettings::cachedFormatsKeepTheirValue()
{
    QCOMPARE(m_settings->dateFormat(), 0);
    m_settings->setValue(QStringLiteral("date_format"), 1);
    QCOMPARE(m_settings->dateFormat(), 0);
    m_settings->setDateFormat(2);
    m_settings->setValue(QStringLiteral("date_format"), 1);
    QCOMPARE(m_settings->dateFormat(), 2);

    m_settings->setNumberFormat(1);
    QCOMPARE(m_settings->numberFormat(), 1);
    QCOMPARE(m_settings->value(QStringLiteral("number_format")).toInt(), 1);
}

void TestSettings::installPageIsOfferedOncePerVersion()
{
    QVERIFY(m_settings->takeShowInstallPage());
    QVERIFY(!m_settings->takeShowInstallPage());
    m_settings->sync();
    Settings nextRun(m_settings->fileName());
    QVERIFY(!nextRun.takeShowInstallPage());
    QVERIFY(nextRun.contains(QStringLiteral("show_install_page_v241")));
}

void TestSettings::pdfPageSizeFollowsTheCountry_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("pageSize");
    QTest::newRow("United Kingdom") << QLocale(QLocale::English, QLocale::UnitedKingdom) << 0;
    QTest::newRow("United States") << QLocale(QLocale::English, QLocale::UnitedStates) << 2;
    QTest::newRow("other imperial country")
        << QLocale(QLocale::English, QLocale::UnitedStatesMinorOutlyingIslands) << 2;
    QTest::newRow("Germany") << QLocale(QLocale::German, QLocale::Germany) << 0;
}

void TestSettings::pdfPageSizeFollowsTheCountry()
{
    QFETCH(QLocale, locale);
    QFETCH(int, pageSize);
    QCOMPARE(Settings::defaultPdfPageSize(locale), pageSize);
}

void TestSettings::backupFolderDefaultsToCreatedBackupsFolder()
{
    const QString expected = QDir::homePath() + QStringLiteral("/Documents/Tavrolo/Backups");
    QCOMPARE(m_settings->backupFolder(), QDir::toNativeSeparators(expected));
    QVERIFY(QFileInfo(expected).isDir());
    m_settings->setBackupFolder(QStringLiteral("/somewhere/else"));
    QCOMPARE(m_settings->backupFolder(), QStringLiteral("/somewhere/else"));
}

TAVROLO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
