#include "common/app/Accessors.h"
#include "common/core/SavedPreferenceShapes.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"

#include <climits>
#include <memory>

#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

using Key = Settings::Key;

QList<Key> announced(const QSignalSpy &spy)
{
    QList<Key> keys;
    for (const QList<QVariant> &arguments : spy)
        keys.append(arguments.at(0).value<Key>());
    return keys;
}

} // namespace

Q_DECLARE_METATYPE(QList<Settings::Key>)

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void storedValuesComeBackAtTheNextStart();
    void dialogsStayVisible_data();
    void dialogsStayVisible();
    void backupIntervalStaysInTheDialogsRange_data();
    void backupIntervalStaysInTheDialogsRange();
    void aWriteAnnouncesOnlyAChangedValue_data();
    void aWriteAnnouncesOnlyAChangedValue();
    void aBatchAnnouncesEachChangeOnceAtItsEnd();
    void clearingAnnouncesTheStoreAndForgetsTheCaches();
    void onlyValuesInTheProgramsShapesAreRead_data();
    void onlyValuesInTheProgramsShapesAreRead();
    void aStoreTooLargeToReadIsSetAsideWhole_data();
    void aStoreTooLargeToReadIsSetAsideWhole();
    void thePlatformStoreReadsNoOtherFile();
    void valuesWrittenWhileOpenAreCheckedBeforeEachWrite_data();
    void valuesWrittenWhileOpenAreCheckedBeforeEachWrite();

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

void TestSettings::backupIntervalStaysInTheDialogsRange_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: the key is absent
    QTest::addColumn<int>("minutes");
    QTest::newRow("absent") << QVariant() << 10;
    QTest::newRow("in range") << QVariant(44) << 44;
    QTest::newRow("nought") << QVariant(0) << 5;
    QTest::newRow("negative") << QVariant(-3) << 5;
    QTest::newRow("past the timer's milliseconds") << QVariant(35792) << 240;
    QTest::newRow("largest int") << QVariant(INT_MAX) << 240;
    QTest::newRow("too large for any int")
        << QVariant(QStringLiteral("99999999999999999999")) << 240;
    QTest::newRow("infinite") << QVariant(QStringLiteral("1e400")) << 240;
    QTest::newRow("not a number") << QVariant(QStringLiteral("nan")) << 5;
    QTest::newRow("a word") << QVariant(QStringLiteral("often")) << 5;
}

void TestSettings::backupIntervalStaysInTheDialogsRange()
{
    QFETCH(QVariant, stored);
    QFETCH(int, minutes);
    if (stored.isValid())
        m_settings->setValue(QStringLiteral("backup_interval"), stored);
    QCOMPARE(m_settings->backupInterval(), minutes);
    // As the portable file gives it back at the next start.
    m_settings->sync();
    QCOMPARE(Settings(m_settings->fileName()).backupInterval(), minutes);
}

void TestSettings::aWriteAnnouncesOnlyAChangedValue_data()
{
    QTest::addColumn<Key>("key");
    QTest::addColumn<QVariant>("stored"); // invalid: the key is absent
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QList<Key>>("announced");
    QTest::newRow("new value") << Key::BackupInterval << QVariant() << QVariant(5)
                               << QList<Key> {Key::BackupInterval};
    QTest::newRow("the default") << Key::BackupInterval << QVariant() << QVariant(10)
                                 << QList<Key> {};
    QTest::newRow("as the file gives it back")
        << Key::ShowToolbarText << QVariant(QStringLiteral("false")) << QVariant(false)
        << QList<Key> {};
    QTest::newRow("date format") << Key::DateFormat << QVariant() << QVariant(2)
                                 << QList<Key> {Key::DateFormat, Key::ValueFormats};
    QTest::newRow("number format")
        << Key::NumberFormat << QVariant(QStringLiteral("1")) << QVariant(0)
        << QList<Key> {Key::NumberFormat, Key::ValueFormats};
    QTest::newRow("style") << Key::UiStyle << QVariant() << QVariant(1)
                           << QList<Key> {Key::UiStyle};
}

void TestSettings::aWriteAnnouncesOnlyAChangedValue()
{
    QFETCH(Key, key);
    QFETCH(QVariant, stored);
    QFETCH(QVariant, written);
    QFETCH(QList<Key>, announced);
    if (stored.isValid())
        m_settings->setValue(Settings::keyName(key), stored);
    QSignalSpy spy(m_settings.get(), &Settings::changed);
    m_settings->write(key, written);
    QCOMPARE(::announced(spy), announced);
    // Written all the same: what the store holds does not depend on who listens.
    QVERIFY(m_settings->contains(Settings::keyName(key)));
    QCOMPARE(m_settings->read(key).toInt(), written.toInt());
}

void TestSettings::aBatchAnnouncesEachChangeOnceAtItsEnd()
{
    QSignalSpy spy(m_settings.get(), &Settings::changed);
    {
        const Settings::Batch batch(m_settings.get());
        m_settings->setNumberFormat(1);
        m_settings->setDateFormat(2);
        {
            const Settings::Batch inner(m_settings.get());
            m_settings->setBackupInterval(5);
            m_settings->setBackupInterval(15);
            m_settings->setUiStyle(0);
        }
        QVERIFY(spy.isEmpty());
        // What is read in the batch is what was written.
        QCOMPARE(m_settings->dateFormat(), 2);
    }
    QCOMPARE(
        announced(spy),
        (QList<Key> {Key::NumberFormat, Key::ValueFormats, Key::DateFormat, Key::BackupInterval}));
}

void TestSettings::clearingAnnouncesTheStoreAndForgetsTheCaches()
{
    m_settings->setDateFormat(2);
    m_settings->setUiStyle(1);
    m_settings->setToolbarIconSize(0);
    QSignalSpy spy(m_settings.get(), &Settings::changed);
    m_settings->clear();
    QCOMPARE(announced(spy),
             (QList<Key> {Key::Store, Key::DateFormat, Key::ValueFormats, Key::UiStyle}));
    QCOMPARE(m_settings->dateFormat(), 0);
    QCOMPARE(m_settings->uiStyle(), 0);
    QVERIFY(m_settings->allKeys().isEmpty());
}

void TestSettings::onlyValuesInTheProgramsShapesAreRead_data()
{
    QTest::addColumn<bool>("platform"); // the platform store, else a portable file
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<QByteArray>("line"); // of the key zz_handed_on
    QTest::addColumn<bool>("read");
    // A string list claiming 2^31 - 1 entries: Qt reserved them at the first read of any key.
    const QByteArray claim = R"(@Variant(\0\0\0\x0b\x7f\xff\xff\xff))";
    const QByteArray general = "General";
    const QByteArray group = "cards_appearances";
    QTest::newRow("a string list of 2^31 - 1 in Tavrolo.conf")
        << true << general << "zz_handed_on=" + claim << false;
    QTest::newRow("a variant list of 2^28 + 1 in a group")
        << false << group << QByteArray(R"(zz_handed_on=@Variant(\0\0\0\t\x10\0\0\x1))") << false;
    QTest::newRow("a rectangle") << false << general
                                 << QByteArray("zz_handed_on=@Rect(0 0 100000 100000)") << false;
    QTest::newRow("its at sign escaped")
        << false << general << "zz_handed_on=\\x40" + claim.mid(1) << false;
    QTest::newRow("quoted") << false << group << "zz_handed_on=\"" + claim + '"' << false;
    QTest::newRow("an element of a list")
        << true << group << "zz_handed_on=/plans/a.tv, " + claim << false;
    QTest::newRow("carried over a line end")
        << false << general << "zz_handed_on=@Var\\\niant" + claim.mid(8) << false;
    QTest::newRow("bytes") << false << general << QByteArray(R"(zz_handed_on=@ByteArray(\0\x1))")
                           << true;
    QTest::newRow("text starting with an at sign")
        << false << group << QByteArray("zz_handed_on=@@Variant(text)") << true;
    QTest::newRow("an empty list")
        << true << general << QByteArray("zz_handed_on=@Invalid()") << true;
}

// A value in a shape the program never writes is taken out of the file before Qt reads it, and
// counts as missing; the program's own values around it are read, and the line is kept beside
// the store.
void TestSettings::onlyValuesInTheProgramsShapesAreRead()
{
    QFETCH(bool, platform);
    QFETCH(QByteArray, group);
    QFETCH(QByteArray, line);
    QFETCH(bool, read);
    // The application's store reads the platform file too: nothing of it may wait to be written.
    settings()->sync();
    const QString fileName
        = platform ? Settings().fileName() : m_dir->filePath(QStringLiteral("handed on.ini"));
    QByteArray text = "[General]\ndate_format=2\n";
    if (group == "General")
        text += line + '\n';
    text += "backup_interval=44\n[cards_appearances]\nown=kept\n";
    if (group != "General")
        text += line + '\n';
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    {
        const auto store
            = platform ? std::make_unique<Settings>() : std::make_unique<Settings>(fileName);
        QCOMPARE(store->dateFormat(), 2);
        QCOMPARE(store->backupInterval(), 44);
        QCOMPARE(store->value(QStringLiteral("cards_appearances/own")).toString(),
                 QStringLiteral("kept"));
        const QString key = group == "General" ? QStringLiteral("zz_handed_on")
                                               : QString::fromLatin1(group + "/zz_handed_on");
        QCOMPARE(store->contains(key), read);
        QFile setAside(store->setAsideFileName());
        QCOMPARE(setAside.exists(), !read);
        if (!read) {
            QVERIFY(setAside.open(QIODevice::ReadOnly));
            QCOMPARE(setAside.readAll(), '[' + group + "]\n" + line + '\n');
            setAside.remove();
        }
    }
    QFile::remove(fileName);
    settings()->sync();
}

// Qt reads the store again when it writes it and finds it changed since, then decodes every
// value: a line another program (or the user) adds while the program runs is taken out first.
void TestSettings::valuesWrittenWhileOpenAreCheckedBeforeEachWrite_data()
{
    QTest::addColumn<QString>("write"); // which write of the store comes next
    QTest::addColumn<QByteArray>("line");
    const QByteArray claim = R"(zz_handed_on=@Variant(\0\0\0\x0b\x7f\xff\xff\xff))";
    QTest::newRow("a string list of 2^31 - 1, then a change") << "change" << claim;
    QTest::newRow("a string list of 2^31 - 1, then an explicit sync") << "sync" << claim;
    QTest::newRow("a rectangle, then the end")
        << "end" << QByteArray("zz_handed_on=@Rect(0 0 100000 100000)");
}

void TestSettings::valuesWrittenWhileOpenAreCheckedBeforeEachWrite()
{
    QFETCH(QString, write);
    QFETCH(QByteArray, line);
    const QString fileName = m_dir->filePath(QStringLiteral("open.ini"));
    const auto writeStore = [&](const QByteArray &text, int seconds) {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(seconds),
                                 QFileDevice::FileModificationTime));
    };
    writeStore("[General]\ndate_format=2\n", -60);
    auto store = std::make_unique<Settings>(fileName);
    QCOMPARE(store->dateFormat(), 2);
    writeStore("[General]\ndate_format=2\n" + line + "\nbackup_interval=44\n", 0);
    store->setNumberFormat(1);
    const QString setAsideName = store->setAsideFileName();
    if (write == "change")
        QCoreApplication::sendPostedEvents(store.get(), QEvent::UpdateRequest);
    else if (write == "sync")
        store->sync();
    else
        store.reset();
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(!text.contains("zz_handed_on"), text.constData());
    QVERIFY2(text.contains("number_format=1") && text.contains("backup_interval=44"),
             text.constData());
    QFile setAside(setAsideName);
    QVERIFY(setAside.open(QIODevice::ReadOnly));
    QCOMPARE(setAside.readAll(), "[General]\n" + line + '\n');
}

void TestSettings::aStoreTooLargeToReadIsSetAsideWhole_data()
{
    QTest::addColumn<QString>("setAsideSuffix"); // where the store goes
    QTest::newRow("the set-aside name free") << QString();
    QTest::newRow("the set-aside name taken") << QStringLiteral(".2");
}

void TestSettings::aStoreTooLargeToReadIsSetAsideWhole()
{
    QFETCH(QString, setAsideSuffix);
    const QString fileName = m_dir->filePath(QStringLiteral("handed on.ini"));
    QByteArray text = "[General]\ndate_format=2\n;";
    text += QByteArray(int(maximumPreferencesFileBytes) + 1 - text.size(), 'x');
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const QByteArray earlier = "[General]\nzz_handed_on=@Rect(0 0 1 1)\n";
    QFile taken(fileName + QStringLiteral(".set-aside"));
    if (!setAsideSuffix.isEmpty())
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write(earlier) == earlier.size());
    taken.close();
    Settings store(fileName);
    QCOMPARE(store.dateFormat(), 0);
    QVERIFY(!QFile::exists(fileName));
    QFile setAside(store.setAsideFileName() + setAsideSuffix);
    QVERIFY(setAside.open(QIODevice::ReadOnly));
    QCOMPARE(setAside.size(), text.size());
    if (!setAsideSuffix.isEmpty())
        QCOMPARE(QFile(taken.fileName()).size(), earlier.size());
}

// QSettings would read a key missing from the platform store in the organisation's file
// beside it, which the program never writes nor cleans.
void TestSettings::thePlatformStoreReadsNoOtherFile()
{
    const QString configFolder = qEnvironmentVariable("XDG_CONFIG_HOME");
    QDir().mkpath(configFolder);
    const QString organisationFile = configFolder + QStringLiteral("/Brenmoor.conf");
    const QByteArray text = R"([General]
date_format=2
zz_handed_on=@Variant(\0\0\0\x0b\x7f\xff\xff\xff)
)";
    QFile file(organisationFile);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    {
        const Settings store;
        QVERIFY(!store.contains(QStringLiteral("zz_handed_on")));
        QCOMPARE(store.dateFormat(), 0);
    }
    QVERIFY(file.remove());
}

TAVROLO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
