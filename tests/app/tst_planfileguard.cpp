#include "app/PlanFileGuard.h"
#include "app/PlanFileState.h"
#include "common/app/Accessors.h"
#include "common/widgets/Settings.h"
#include "harness/TestMain.h"
#include "model/Document.h"

#include <memory>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

namespace {

// Counts the outside-change checks the guard posts to it.
class GuardWindow : public QWidget
{
public:
    int checksAsked = 0;

protected:
    void customEvent(QEvent *event) override
    {
        if (event->type() == PlanFileGuard::outsideChangeCheckEvent)
            ++checksAsked;
    }
};

bool writeFile(const QString &path, const QByteArray &bytes, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
        && file.setFileTime(time, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

} // namespace

// The plan file's guard on its own, with a plain window and the file commands as hooks: what it
// takes for another program's version, and that such a version is neither written over unasked
// nor lost.
class TestPlanFileGuard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void whatWasSeenBelongsToTheFileItWasSeenOn_data();
    void whatWasSeenBelongsToTheFileItWasSeenOn();
    void autosaveWritesOnlyWhatItMay_data();
    void autosaveWritesOnlyWhatItMay();

private:
    QString path(const QString &name) const
    {
        return QDir::toNativeSeparators(m_folder->filePath(name));
    }

    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_backups;
    const QDateTime m_seen = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
    Document m_plan;
    PlanFileState m_file;
    GuardWindow m_window;
    std::unique_ptr<PlanFileGuard> m_guard;
    int m_saves = 0;
};

void TestPlanFileGuard::init()
{
    m_folder.reset(new QTemporaryDir);
    m_backups = path("backups");
    QVERIFY(QDir().mkpath(m_backups));
    settings()->setBackupFolder(m_backups);
    m_file = PlanFileState();
    m_file.fileName = path("Plan.tv");
    QVERIFY(writeFile(m_file.fileName, "seen", m_seen));
    m_saves = 0;
    PlanFileGuard::Hooks hooks;
    hooks.save = [this] { return ++m_saves > 0; };
    hooks.reopen = [](const QString &, bool) { return true; };
    hooks.retitle = [] {};
    hooks.enterTypedText = [] {};
    m_guard.reset(new PlanFileGuard(m_plan, m_file, hooks, &m_window));
    m_guard->notePlanFileOnDisk();
    m_window.checksAsked = 0;
    m_window.setWindowModified(false);
}

void TestPlanFileGuard::cleanup()
{
    m_guard.reset();
    m_folder.reset();
}

// After an outside write the guard reports the change until the plan is read again, written by
// this window or the user keeps the plan shown; only in the last case is the other version
// copied aside, once, before the next write. Another file opened starts afresh.
void TestPlanFileGuard::whatWasSeenBelongsToTheFileItWasSeenOn_data()
{
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("copied");
    QTest::newRow("nothing") << "" << true << false;
    QTest::newRow("the plan read again") << "read" << false << false;
    QTest::newRow("the plan read, the file written on after") << "read before" << true << false;
    QTest::newRow("written by this window") << "written" << false << false;
    QTest::newRow("the user keeps the plan shown") << "kept" << false << true;
    QTest::newRow("another file opened") << "other file" << false << false;
    QTest::newRow("the file removed") << "removed" << false << false;
    QTest::newRow("written on while this window writes") << "meanwhile" << false << false;
}

void TestPlanFileGuard::whatWasSeenBelongsToTheFileItWasSeenOn()
{
    QFETCH(QString, after);
    QFETCH(bool, changed);
    QFETCH(bool, copied);
    QVERIFY(!m_guard->planFileChangedOutside());
    QVERIFY(writeFile(m_file.fileName, "outside", m_seen.addSecs(60)));
    QVERIFY(m_guard->planFileChangedOutside());
    if (after == QLatin1String("read")) {
        m_guard->notePlanRead(PlanFileGuard::stampOf(m_file.fileName));
    } else if (after == QLatin1String("read before")) {
        const PlanFileGuard::Stamp read = PlanFileGuard::stampOf(m_file.fileName);
        QVERIFY(writeFile(m_file.fileName, "outside, written whole", m_seen.addSecs(61)));
        m_guard->notePlanRead(read);
    } else if (after == QLatin1String("written")) {
        QVERIFY(writeFile(m_file.fileName, "this window's", m_seen.addSecs(120)));
        m_guard->notePlanFileOnDisk();
    } else if (after == QLatin1String("kept")) {
        m_guard->acceptOutsideVersion();
    } else if (after == QLatin1String("other file")) {
        m_guard->acceptOutsideVersion();
        m_file.fileName = path("Other.tv");
        QVERIFY(writeFile(m_file.fileName, "other", m_seen.addSecs(-60)));
        m_guard->forgetFileOnDisk();
    } else if (after == QLatin1String("meanwhile")) {
        // This window's bytes are about to replace the file: the version is copied aside
        // unasked, and taken as seen.
        QString meanwhile;
        QVERIFY(m_guard->keepVersionWrittenMeanwhile(&meanwhile));
        QCOMPARE(readFile(meanwhile), QByteArray("outside"));
        QVERIFY(QFile::remove(meanwhile));
    } else if (after == QLatin1String("removed")) {
        m_guard->acceptOutsideVersion();
        QVERIFY(QFile::remove(m_file.fileName));
    }
    QCOMPARE(m_guard->planFileChangedOutside(), changed);
    QString copy;
    QVERIFY(m_guard->keepOutsideVersion(&copy));
    QCOMPARE(!copy.isEmpty(), copied);
    const QStringList backups = QDir(m_backups).entryList(QDir::Files);
    QCOMPARE(backups.size(), copied ? 1 : 0);
    if (copied) {
        QCOMPARE(QDir::toNativeSeparators(QFileInfo(copy).absolutePath()), m_backups);
        QCOMPARE(readFile(copy), QByteArray("outside"));
        // Copied once: the next write goes over the file as over any other.
        QVERIFY(m_guard->keepOutsideVersion(&copy));
        QVERIFY(copy.isEmpty());
    }
}

// The pause after an edit saves a modified plan that may be written; over another program's
// version it asks first, by a check posted to the window, and writes nothing.
void TestPlanFileGuard::autosaveWritesOnlyWhatItMay_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("outsideVersion");
    QTest::addColumn<int>("saves");
    QTest::addColumn<int>("checksAsked");
    QTest::newRow("modified") << true << false << false << 1 << 0;
    QTest::newRow("unmodified") << false << false << false << 0 << 0;
    QTest::newRow("read-only") << true << true << false << 0 << 0;
    QTest::newRow("another program's version") << true << false << true << 0 << 1;
    QTest::newRow("read-only over another's version") << true << true << true << 0 << 0;
}

void TestPlanFileGuard::autosaveWritesOnlyWhatItMay()
{
    QFETCH(bool, modified);
    QFETCH(bool, readOnly);
    QFETCH(bool, outsideVersion);
    QFETCH(int, saves);
    QFETCH(int, checksAsked);
    m_window.setWindowModified(modified);
    m_file.readOnly = readOnly;
    if (outsideVersion)
        QVERIFY(writeFile(m_file.fileName, "outside", m_seen));
    m_guard->onIdleTimeOut();
    QCoreApplication::sendPostedEvents(&m_window, PlanFileGuard::outsideChangeCheckEvent);
    QCOMPARE(m_saves, saves);
    QCOMPARE(m_window.checksAsked, checksAsked);
}

TAVROLO_TEST_MAIN(TestPlanFileGuard)
#include "tst_planfileguard.moc"
