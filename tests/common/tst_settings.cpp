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
    void dialogsStayVisible_data();
    void dialogsStayVisible();

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
    // Reading defaults must not fill the store.
    QVERIFY(m_settings->allKeys().isEmpty());
    // The formats are cached: a change must reach the cache at once.
    m_settings->setDateFormat(2);
    m_settings->setNumberFormat(1);
    QCOMPARE(m_settings->dateFormat(), 2);
    QCOMPARE(m_settings->numberFormat(), 1);
    m_settings->setLastUpdatedCheck(QDate(2021, 3, 14));
    m_settings->sync();
    Settings reopened(m_settings->fileName());
    QCOMPARE(reopened.dateFormat(), 2);
    QCOMPARE(reopened.lastUpdatedCheck(), QDate(2021, 3, 14));
    reopened.setValue(QStringLiteral("last_updated_check"), QStringLiteral("yesterday"));
    QVERIFY(!reopened.lastUpdatedCheck().isValid());
    // The default backups folder is made when first asked for, so that backups can go there.
    const QString backups = QDir::homePath() + QStringLiteral("/Documents/Tavrolo/Backups");
    QCOMPARE(reopened.backupFolder(), backups);
    QVERIFY(QFileInfo(backups).isDir());
}

void TestSettings::dialogsStayVisible_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("value");
    const QString transparency = QStringLiteral("window_transparency");
    const QString zoom = QStringLiteral("zoom_sensitivity");
    QTest::newRow("hand-edited huge") << transparency << QVariant(250) << 0.1;
    QTest::newRow("negative") << transparency << QVariant(-30) << 1.0;
    QTest::newRow("not a number") << transparency << QVariant(QStringLiteral("abc")) << 1.0;
    // The zoom step stays in range as well.
    QTest::newRow("negative zoom sensitivity") << zoom << QVariant(-40) << 1.05;
    QTest::newRow("huge zoom sensitivity") << zoom << QVariant(5000) << 2.0;
}

void TestSettings::dialogsStayVisible()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(double, value);
    m_settings->setValue(key, stored);
    QCOMPARE(key == "zoom_sensitivity" ? m_settings->zoomStep() : m_settings->windowOpacity(),
             value);
}

TAVROLO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
