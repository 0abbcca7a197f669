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
    void storedValuesComeBackAtTheNextStart();
    void zoomStepStaysInRange_data();
    void zoomStepStaysInRange();
    void dialogsStayVisible_data();
    void dialogsStayVisible();
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

void TestSettings::storedValuesComeBackAtTheNextStart()
{
    QCOMPARE(m_settings->dateFormat(), 0);
    QCOMPARE(m_settings->animationDuration(), 0.8);
    // Reading defaults must not fill the store.
    QVERIFY(m_settings->allKeys().isEmpty());
    // The formats are cached: a change must reach the cache at once.
    m_settings->setDateFormat(2);
    m_settings->setNumberFormat(1);
    QCOMPARE(m_settings->dateFormat(), 2);
    QCOMPARE(m_settings->numberFormat(), 1);
    m_settings->setLastUpdatedCheck(QDate(2021, 3, 14));
    m_settings->setAnimationDuration(0.25);
    m_settings->sync();
    Settings reopened(m_settings->fileName());
    QCOMPARE(reopened.dateFormat(), 2);
    QCOMPARE(reopened.numberFormat(), 1);
    QCOMPARE(reopened.lastUpdatedCheck(), QDate(2021, 3, 14));
    QCOMPARE(reopened.animationDuration(), 0.25);
    reopened.setValue(QStringLiteral("last_updated_check"), QStringLiteral("yesterday"));
    QVERIFY(!reopened.lastUpdatedCheck().isValid());
}

void TestSettings::zoomStepStaysInRange_data()
{
    QTest::addColumn<int>("sensitivity");
    QTest::addColumn<double>("step");
    QTest::newRow("negative") << -40 << 1.05;
    QTest::newRow("default") << 6 << 1.3;
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
    QTest::newRow("ninety") << QVariant(90) << 0.1;
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

void TestSettings::installPageIsOfferedOncePerVersion()
{
    QVERIFY(m_settings->takeShowInstallPage());
    QVERIFY(!m_settings->takeShowInstallPage());
    m_settings->sync();
    Settings nextRun(m_settings->fileName());
    QVERIFY(!nextRun.takeShowInstallPage());
}

void TestSettings::pdfPageSizeFollowsTheCountry_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("pageSize");
    QTest::newRow("United Kingdom") << QLocale(QLocale::English, QLocale::UnitedKingdom) << 0;
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
}

TAVROLO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
