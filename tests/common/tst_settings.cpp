#include "common/app/Accessors.h"
#include "common/core/PreferencesFormat.h"
#include "common/core/SavedPreferenceShapes.h"
#include "common/widgets/Settings.h"
#include "harness/FileFaults.h"
#include "harness/TestMain.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <QAction>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
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

// The store as another program rewriting it finds it: as each of the first reads from its start
// begins, the file on disk grows, or is rewritten in place at its size, or the read fails.
class StoreChangingWhileRead : public QFile
{
public:
    StoreChangingWhileRead(const QString &name, const QByteArray &change, int reads)
        : QFile(name), m_change(change), m_reads(reads)
    { }

protected:
    qint64 readData(char *data, qint64 most) override
    {
        if (pos() == 0 && m_reads-- > 0) {
            if (m_change == "fails")
                return -1;
            QFile other(fileName());
            other.open(m_change == "grows" ? QIODevice::Append : QIODevice::ReadWrite);
            other.write(m_change == "grows" ? "zz_added=1\n" : "[General]\ndate_format=1\n");
            other.setFileTime(QDateTime::currentDateTime().addSecs(60 * (m_reads + 1)),
                              QFileDevice::FileModificationTime);
        }
        return QFile::readData(data, most);
    }

private:
    QByteArray m_change;
    int m_reads;
};

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
    void aStoreChangingWhileReadIsReadAgainOrLeftInPlace_data();
    void aStoreChangingWhileReadIsReadAgainOrLeftInPlace();
    void thePlatformStoreReadsNoOtherFile_data();
    void thePlatformStoreReadsNoOtherFile();
    void valuesWrittenWhileOpenAreCheckedBeforeEachWrite_data();
    void valuesWrittenWhileOpenAreCheckedBeforeEachWrite();
    void aStoreRewrittenWhileInUseIsReadOnlyInTheProgramsShapes();
    void aStoreThatCannotBeRewrittenIsReadInTheProgramsShapes_data();
    void aStoreThatCannotBeRewrittenIsReadInTheProgramsShapes();
    void groupLinesWithoutTheirBracketAreTakenOut();
    void aStoreNearTheBoundKeepsItsValuesAfterTheProgramsWrites_data();
    void aStoreNearTheBoundKeepsItsValuesAfterTheProgramsWrites();
    void storesStayReadableByThisAndTheLastVersion_data();
    void storesStayReadableByThisAndTheLastVersion();
    void aToolbarButtonKeepsOneKey_data();
    void aToolbarButtonKeepsOneKey();

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
    QTest::newRow("a date and time")
        << false << general << QByteArray(R"(zz_handed_on=@DateTime(\0\0\0\x10\0\x7f\xff))")
        << false;
    QTest::newRow("its at sign an octal escape")
        << true << group << "zz_handed_on=\\100" + claim.mid(1) << false;
    QTest::newRow("after a quoted semicolon")
        << false << general << "zz_handed_on=\"a;b\", " + claim << false;
    QTest::newRow("after blanks") << false << group << "zz_handed_on=  \t " + claim << false;
    QTest::newRow("after a quote and blanks")
        << false << general << "zz_handed_on=\"/plans/a.tv\"  ,  " + claim << false;
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
    QTest::addColumn<int>("namesTaken");
    QTest::newRow("the set-aside name free") << QString() << 0;
    QTest::newRow("the set-aside name taken") << QStringLiteral(".2") << 1;
    QTest::newRow("every set-aside name taken") << QString() << 100;
}

// A store moved aside is followed by one holding the session's values; one that could not be
// moved stays as it was, never written over.
void TestSettings::aStoreTooLargeToReadIsSetAsideWhole()
{
    QFETCH(QString, setAsideSuffix);
    QFETCH(int, namesTaken);
    const QString fileName = m_dir->filePath(QStringLiteral("handed on.ini"));
    QByteArray text = "[General]\ndate_format=2\n;";
    text += QByteArray(int(maximumPreferencesFileBytes) + 1 - text.size(), 'x');
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();
    const QByteArray earlier = "[General]\nzz_handed_on=@Rect(0 0 1 1)\n";
    QFile taken(fileName + QStringLiteral(".set-aside"));
    for (int i = 1; i <= namesTaken; ++i)
        writeBytes(setAsideFileNameOf(fileName) + (i > 1 ? QStringLiteral(".%1").arg(i) : ""),
                   earlier);
    const bool moved = namesTaken < 100;
    {
        Settings store(fileName);
        QCOMPARE(store.dateFormat(), 0);
        QCOMPARE(QFile::exists(fileName), !moved);
        store.setNumberFormat(1);
        store.sync();
        if (moved) {
            QFile setAside(store.setAsideFileName() + setAsideSuffix);
            QVERIFY(setAside.open(QIODevice::ReadOnly));
            QCOMPARE(setAside.size(), text.size());
        }
    }
    if (moved)
        QCOMPARE(readBytes(fileName), QByteArray("[General]\nnumber_format=1\n"));
    else
        QCOMPARE(QFileInfo(fileName).size(), text.size());
    if (namesTaken > 0)
        QCOMPARE(QFile(taken.fileName()).size(), earlier.size());
}

void TestSettings::aStoreChangingWhileReadIsReadAgainOrLeftInPlace_data()
{
    QTest::addColumn<QByteArray>("change");
    QTest::addColumn<int>("reads"); // how many reads see the change
    QTest::newRow("growing at the first read") << QByteArray("grows") << 1;
    QTest::newRow("growing at every read") << QByteArray("grows") << 2;
    QTest::newRow("rewritten in place at every read") << QByteArray("rewritten") << 2;
    QTest::newRow("failing at every read") << QByteArray("fails") << 2;
}

// Another program rewriting the store in place: a read that sees it change, or fails, is tried
// once more; failing again, the store stays where it is and is not written over, as one too
// large that could not be moved aside.
void TestSettings::aStoreChangingWhileReadIsReadAgainOrLeftInPlace()
{
    QFETCH(QByteArray, change);
    QFETCH(int, reads);
    const QString fileName = m_dir->filePath(QStringLiteral("shared.ini"));
    writeBytes(fileName, "[General]\ndate_format=2\n");
    StoreChangingWhileRead store(fileName, change, reads);
    QVERIFY(store.open(QIODevice::ReadOnly));
    QSettings::SettingsMap values;
    if (reads > 1)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("changed while it was read"));
    QVERIFY(readPreferences(store, values));
    const bool readWhole = reads == 1;
    QCOMPARE(values.value(QStringLiteral("date_format")).toString(), readWhole ? "2" : "");
    QVERIFY(QFileInfo(fileName).isFile());
    QVERIFY(!QFile::exists(setAsideFileNameOf(fileName)));
    QSaveFile write(fileName);
    QVERIFY(write.open(QIODevice::WriteOnly));
    QCOMPARE(writePreferences(write, values), readWhole);
    write.cancelWriting();
}

void TestSettings::thePlatformStoreReadsNoOtherFile_data()
{
    QTest::addColumn<QString>("at"); // the organisation's file or the store
    QTest::addColumn<QString>("kind");
    QTest::newRow("values in the organisation's file") << "organisation"
                                                       << "values";
    QTest::newRow("a pipe at the organisation's file") << "organisation"
                                                       << "pipe";
    QTest::newRow("a pipe at the store") << "store"
                                         << "pipe";
    QTest::newRow("a folder at the store") << "store"
                                           << "folder";
}

// Opened by organisation and program name, QSettings would read a key missing from the
// platform store in the organisation's file beside it, which the program never writes nor
// cleans, and open it at every sync: a pipe there, or at the store, would hold the start until
// some program wrote to it. Neither is read nor written, and the store opens at once.
void TestSettings::thePlatformStoreReadsNoOtherFile()
{
    QFETCH(QString, at);
    QFETCH(QString, kind);
    // Nothing of the application's own store may wait to be written while the pipe is there.
    settings()->sync();
    const QString name = at == "store"
        ? settings()->fileName()
        : qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Brenmoor.conf");
    QDir().mkpath(QFileInfo(name).absolutePath());
    const QByteArray store = readBytes(name);
    QFile::remove(name);
    const QByteArray encoded = QFile::encodeName(name);
    if (kind == "values")
        writeBytes(name, R"([General]
date_format=2
zz_handed_on=@Variant(\0\0\0\x0b\x7f\xff\xff\xff)
)");
    else if (kind == "pipe")
        QCOMPARE(mkfifo(encoded.constData(), 0600), 0);
    else
        QVERIFY(QDir().mkpath(name));
    if (at == "store")
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("Preferences not read: .* no regular"));
    auto opened = std::async(std::launch::async, [at] {
        Settings store;
        if (at == "store")
            store.setValue(QStringLiteral("zz_written"), true);
        return store.dateFormat() == 2 || store.contains(QStringLiteral("zz_handed_on"));
    });
    const bool returned = opened.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!returned) {
        // A reader held at the pipe goes on once a writer opens it.
        const int writer = ::open(encoded.constData(), O_RDWR | O_NONBLOCK);
        opened.wait();
        ::close(writer);
    }
    const QFileInfo left(name);
    const bool leftAsItWas = kind == "values" ? left.isFile()
        : kind == "pipe"                      ? left.exists() && !left.isFile() && !left.isDir()
                                              : left.isDir();
    QDir(name).removeRecursively();
    QFile::remove(name);
    if (!store.isEmpty())
        writeBytes(name, store);
    QVERIFY2(returned, "the store was not opened within 5 s");
    QVERIFY(!opened.get());
    QVERIFY(leftAsItWas);
}

// Another program rewriting the store while the program writes it: whatever Qt reads again, at
// whichever moment, is read in the program's shapes only.
void TestSettings::aStoreRewrittenWhileInUseIsReadOnlyInTheProgramsShapes()
{
    const QString fileName = m_dir->filePath(QStringLiteral("shared.ini"));
    const QByteArray clean = "[General]\ndate_format=2\n";
    const QByteArray hostile
        = clean + R"(zz_handed_on=@Variant(\0\0\0\x0b\x7f\xff\xff\xff))" + '\n';
    writeBytes(fileName, clean);
    Settings store(fileName);
    std::atomic<bool> done {false};
    std::thread other([&] {
        for (int i = 0; !done; ++i) {
            writeBytes(fileName,
                       i % 2 ? hostile : clean + "backup_interval=" + QByteArray::number(i) + '\n');
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    int held = 0;
    for (int i = 0; i < 400; ++i) {
        store.setNumberFormat(i % 2);
        store.sync();
        if (store.contains(QStringLiteral("zz_handed_on")))
            ++held;
    }
    done = true;
    other.join();
    QCOMPARE(held, 0);
}

void TestSettings::aStoreThatCannotBeRewrittenIsReadInTheProgramsShapes_data()
{
    QTest::addColumn<QString>("road");
    QTest::newRow("on read-only media") << "read-only media";
    QTest::newRow("the store immutable") << "immutable";
    QTest::newRow("the set-aside name a folder") << "folder";
    QTest::newRow("the set-aside name a link to the shell's start file") << "link";
    QTest::newRow("the set-aside name a pipe") << "pipe";
    QTest::newRow("the set-aside file holding lines kept earlier") << "earlier";
}

// Where the store or its set-aside file can't be written, Qt still reads only the values in the
// program's shapes; a set-aside name taken by a link or a pipe is replaced, its target as it
// was; what could not be set aside stays in the store, and what was set aside is set aside once.
void TestSettings::aStoreThatCannotBeRewrittenIsReadInTheProgramsShapes()
{
    QFETCH(QString, road);
    const QString folder = m_dir->filePath(QStringLiteral("portable"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<SmallFileSystem> media;
    if (road == "read-only media") {
        media = std::make_unique<SmallFileSystem>(folder, "size=1m");
        if (!media->isMounted())
            QSKIP(smallFileSystemRefused);
    }
    const QString fileName = folder + QStringLiteral("/tavrolo.ini");
    const QByteArray line = R"(zz_handed_on=@Variant(\0\0\0\x0b\x7f\xff\xff\xff))";
    writeBytes(fileName, "[General]\ndate_format=2\n" + line + "\nbackup_interval=44\n");
    const QString setAsideName = setAsideFileNameOf(fileName);
    const QString target = m_dir->filePath(QStringLiteral("shell start"));
    const QByteArray targetText = "echo started\n";
    const QByteArray earlier = road == "earlier" ? "[General]\nzz_kept=@Rect(0 0 1 1)\n" : "";
    if (road == "earlier") {
        writeBytes(setAsideName, earlier);
    } else if (road == "folder") {
        QVERIFY(QDir().mkpath(setAsideName));
    } else if (road == "link") {
        writeBytes(target, targetText);
        QVERIFY(QFile::link(QStringLiteral("../shell start"), setAsideName));
    } else if (road == "pipe") {
        QCOMPARE(mkfifo(QFile::encodeName(setAsideName).constData(), 0600), 0);
    } else if (road == "read-only media") {
        QVERIFY(media->remountReadOnly());
    }
    std::unique_ptr<ImmutablePaths> locked;
    if (road == "immutable") {
        locked = std::make_unique<ImmutablePaths>(QStringList {fileName});
        if (!locked->isActive())
            QSKIP("the store cannot be made immutable here");
    }
    {
        Settings store(fileName);
        QCOMPARE(store.dateFormat(), 2);
        QCOMPARE(store.backupInterval(), 44);
        QVERIFY(!store.contains(QStringLiteral("zz_handed_on")));
        store.setNumberFormat(1);
        store.sync();
        QVERIFY(!store.contains(QStringLiteral("zz_handed_on")));
    }
    if (road == "link")
        QCOMPARE(readBytes(target), targetText);
    if (road == "link" || road == "pipe") {
        const QFileInfo setAside(setAsideName);
        QVERIFY(!setAside.isSymLink() && setAside.isFile());
    }
    const bool writable = road != "read-only media" && road != "immutable";
    QCOMPARE(readBytes(fileName).contains("number_format=1"), writable);
    // The next start reads the store again.
    QFile again(fileName);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QSettings::SettingsMap values;
    QVERIFY(readPreferences(again, values));
    QVERIFY(!values.contains(QStringLiteral("zz_handed_on")));
    QCOMPARE(values.value(QStringLiteral("date_format")).toString(), QStringLiteral("2"));
    if (road == "read-only media")
        return;
    if (road == "folder") {
        QVERIFY(QFileInfo(setAsideName).isDir());
        QVERIFY2(readBytes(fileName).contains(line), readBytes(fileName).constData());
        return;
    }
    QCOMPARE(readBytes(setAsideName), earlier + "[General]\n" + line + '\n');
}

// Qt's reader looks for the closing bracket of a group line up to the end of the file: read
// here, such a line is taken out with its group in one pass.
void TestSettings::groupLinesWithoutTheirBracketAreTakenOut()
{
    const QString fileName = m_dir->filePath(QStringLiteral("brackets.ini"));
    QByteArray lines;
    for (int i = 0; i < 20000; ++i)
        lines += "[x\n";
    const QByteArray text
        = "[General]\ndate_format=2\n" + lines + "zz_handed_on=1\n[cards_appearances]\nown=kept\n";
    writeBytes(fileName, text);
    Settings store(fileName);
    QCOMPARE(store.dateFormat(), 2);
    QCOMPARE(store.value(QStringLiteral("cards_appearances/own")).toString(),
             QStringLiteral("kept"));
    QCOMPARE(store.allKeys().size(), 2);
    QCOMPARE(readBytes(store.setAsideFileName()), "[x\n" + QByteArray("zz_handed_on=1\n"));
}

void TestSettings::aStoreNearTheBoundKeepsItsValuesAfterTheProgramsWrites_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("at the bound") << maximumPreferencesFileBytes;
    QTest::newRow("1,000 bytes under it") << maximumPreferencesFileBytes - 1000;
    QTest::newRow("100,000 bytes under it") << maximumPreferencesFileBytes - 100000;
}

// The bound judges the store the program finds, never what it wrote itself: its writes neither
// set the store aside nor leave one that the next start would.
void TestSettings::aStoreNearTheBoundKeepsItsValuesAfterTheProgramsWrites()
{
    QFETCH(qint64, size);
    const QString fileName = m_dir->filePath(QStringLiteral("full.ini"));
    QByteArray text = "[General]\ndate_format=2\n\n[cards_appearances]\nkept=";
    const int kept = int(size) - text.size() - 1;
    text += QByteArray(kept, 'x') + '\n';
    writeBytes(fileName, text);
    {
        Settings store(fileName);
        QCOMPARE(store.dateFormat(), 2);
        store.setNumberFormat(1);
        for (int i = 0; i < 100; ++i)
            store.setValue(QStringLiteral("tip_%1").arg(i), true);
        store.sync();
        QCOMPARE(store.dateFormat(), 2);
    }
    QVERIFY(!QFile::exists(setAsideFileNameOf(fileName)));
    QVERIFY(QFileInfo(fileName).size() <= maximumPreferencesFileBytes);
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QSettings::SettingsMap values;
    QVERIFY(readPreferences(file, values));
    QCOMPARE(values.value(QStringLiteral("date_format")).toString(), QStringLiteral("2"));
    QCOMPARE(values.value(QStringLiteral("cards_appearances/kept")).toString().size(), kept);
    QCOMPARE(values.contains(QStringLiteral("tip_99")), size < maximumPreferencesFileBytes - 2000);
}

void TestSettings::storesStayReadableByThisAndTheLastVersion_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("a number") << "sessions" << QVariant(42);
    QTest::newRow("a flag") << "show_tooltips" << QVariant(false);
    QTest::newRow("a fraction") << "animation_duration" << QVariant(0.8);
    QTest::newRow("text with the INI's own characters")
        << "last_plan" << QVariant(QStringLiteral("/plans/a ;=, \"b\" \\ c\td.tv"));
    QTest::newRow("text holding a semicolon")
        << "last_plan" << QVariant(QStringLiteral("/plans/a;b.tv"));
    QTest::newRow("text with blanks around it")
        << "backup_folder" << QVariant(QStringLiteral("  x "));
    QTest::newRow("text starting with an at sign")
        << "last_plan" << QVariant(QStringLiteral("@home/plan.tv"));
    QTest::newRow("text holding a nought")
        << "zz_text" << QVariant(QString::fromLatin1("a\0b1", 4));
    QTest::newRow("text past ASCII")
        << "last_plan" << QVariant(QString::fromUtf8("/R\xC3\xA9sum\xC3\xA9/\xCF\x80 0a.tv"));
    QTest::newRow("bytes") << "geometry"
                           << QVariant(QByteArray("\x01\xd9\xd0\xcb\0\x03\0\0\xff,;=\"\\ @\n", 17));
    QTest::newRow("a list") << "recent_docs"
                            << QVariant(QStringList {"/a.tv", "b, c.tv", "@d.tv", "", " e "});
    QTest::newRow("a list of one") << "recent_docs" << QVariant(QStringList {"/a.tv"});
    QTest::newRow("an empty list") << "recent_docs" << QVariant(QStringList());
    QTest::newRow("an appearance named with slashes")
        << Settings::cardsAppearanceKey(QStringLiteral("Mine/Yours\\100%"))
        << QVariant(QStringLiteral(
               "<!DOCTYPE stored_appearance><appearance> <a v=\"1\"/></appearance>"));
    QTest::newRow("an appearance in a sub-group of an earlier version")
        << "cards_appearances/old/name" << QVariant(QStringLiteral("x"));
    QTest::newRow("a key past ASCII")
        << QString::fromUtf8("toolbar_show_\xC3\xBC\xE2\x82\xAC") << QVariant(true);
    QTest::newRow("a group named general") << "General/x" << QVariant(1);
}

// The last version wrote its stores with Qt's INI writer and read them with Qt's INI reader:
// what either version writes, both read alike, and the text is the same.
void TestSettings::storesStayReadableByThisAndTheLastVersion()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    static int files = 0;
    // A fresh name for each read, so that no store Qt keeps in memory answers for the file.
    const auto copied = [&](const QString &fileName) {
        const QString copy = m_dir->filePath(QStringLiteral("read %1.ini").arg(++files));
        writeBytes(copy, readBytes(fileName));
        return copy;
    };
    const auto readByLastVersion = [&](const QString &fileName) {
        return QSettings(copied(fileName), QSettings::IniFormat).value(key);
    };
    const auto readByThisVersion
        = [&](const QString &fileName) { return Settings(copied(fileName)).value(key); };
    const QString byLast = m_dir->filePath(QStringLiteral("by the last version.ini"));
    QSettings(byLast, QSettings::IniFormat).setValue(key, value);
    const QString byThis = m_dir->filePath(QStringLiteral("by this version.ini"));
    Settings(byThis).setValue(key, value);
    const QVariant read = readByLastVersion(byLast);
    QCOMPARE(readByThisVersion(byLast), read);
    QCOMPARE(readByLastVersion(byThis), read);
    QCOMPARE(readByThisVersion(byThis), read);
    QCOMPARE(readBytes(byThis), readBytes(byLast));
}

void TestSettings::aToolbarButtonKeepsOneKey_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("iconText"); // none: the text without its mnemonic
    QTest::addColumn<QString>("key");
    QTest::newRow("Undo before the undo state is shown") << "&Undo"
                                                         << ""
                                                         << "toolbar_show_undo";
    QTest::newRow("Undo after it") << "&Undo Add Card"
                                   << "&Undo"
                                   << "toolbar_show_undo";
    QTest::newRow("an ampersand of its own") << "Save && S&end"
                                             << "Save && S&end"
                                             << "toolbar_show_save_&_send";
}

void TestSettings::aToolbarButtonKeepsOneKey()
{
    QFETCH(QString, text);
    QFETCH(QString, iconText);
    QFETCH(QString, key);
    QAction action(text);
    if (!iconText.isEmpty())
        action.setIconText(iconText);
    QCOMPARE(Settings::toolbarShowKey(&action), key);
}

TAVROLO_TEST_MAIN(TestSettings)
#include "tst_settings.moc"
