#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "storage/SafeSave.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Another thread that opens a file at the instant a descriptor is closed gets its number. The
// test stands in for it: when the watched number is closed, a file of the test's own takes it at
// once, and whatever is written to the number afterwards lands there.
int watchedDescriptor = -1;
int strangerDescriptor = -1;
int reusedDescriptor = -1;

} // namespace

extern "C" int close(int descriptor)
{
    const int result = int(syscall(SYS_close, descriptor));
    if (result == 0 && descriptor == watchedDescriptor) {
        watchedDescriptor = -1;
        reusedDescriptor = dup2(strangerDescriptor, descriptor);
    }
    return result;
}

class TestSafeSave : public QObject
{
    Q_OBJECT
private slots:
    void fileSystemWithoutFreeInodeKeepsOldContent();
    void aKillDuringTheSaveLeavesTheOldOrTheNewFile();
    void whetherASaveCanWorkIsForeseen_data();
    void whetherASaveCanWorkIsForeseen();
    void theBytesAreKnownBeforeTheyAreInPlace_data();
    void theBytesAreKnownBeforeTheyAreInPlace();
    void aFailedSaveWritesNowhereElse_data();
    void aFailedSaveWritesNowhereElse();
    void aNameHoldingNoRegularFileStaysAsItIs_data();
    void aNameHoldingNoRegularFileStaysAsItIs();
    void aNewFileTakesTheUserFileMask_data();
    void aNewFileTakesTheUserFileMask();
    void contentPastTheBoundFailsAsItIsWritten_data();
    void contentPastTheBoundFailsAsItIsWritten();

private:
    QTemporaryDir m_dir;
};

void TestSafeSave::fileSystemWithoutFreeInodeKeepsOldContent()
{
    const QString folder = m_dir.filePath(QStringLiteral("tiny"));
    QVERIFY(QDir().mkpath(folder));
    SmallFileSystem tiny(folder, "size=32k,nr_inodes=16,mode=700");
    if (!tiny.isMounted())
        QSKIP(smallFileSystemRefused);
    const QString path = folder + QStringLiteral("/plan.tv");
    const QByteArray old(20000, 'o');
    QString reason;
    QCOMPARE(saveFileContent(path, old, &reason), SaveOutcome::Saved);
    // Use up every inode left, so no temporary file can be made beside the plan.
    int filler = 0;
    while (filler < 64) {
        QFile file(folder + QStringLiteral("/filler%1").arg(filler));
        if (!file.open(QIODevice::WriteOnly))
            break;
        ++filler;
    }
    QVERIFY(filler < 64);
    // The new content would not even fit in the pages left: written in place, it would be cut.
    QCOMPARE(saveFileContent(path, QByteArray(40000, 'n'), &reason), SaveOutcome::OpenFailed);
    QCOMPARE(readBytes(path), old);
    QVERIFY(QFile::remove(folder + QStringLiteral("/filler0")));
    QCOMPARE(saveFileContent(path, QByteArray(12000, 'n'), &reason), SaveOutcome::Saved);
    QCOMPARE(readBytes(path), QByteArray(12000, 'n'));
}

// The program killed at any moment of an autosave: the file holds one whole version or the other.
void TestSafeSave::aKillDuringTheSaveLeavesTheOldOrTheNewFile()
{
    const QString path = m_dir.filePath(QStringLiteral("killed.tv"));
    const QByteArray first(300000, 'a');
    const QByteArray second(200000, 'b');
    QString reason;
    QCOMPARE(saveFileContent(path, first, &reason), SaveOutcome::Saved);
    for (int kill = 1; kill <= 28; ++kill) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Saves without end, one version after the other, until killed.
            for (int i = 0;; ++i)
                saveFileContent(path, i % 2 ? first : second, &reason);
        }
        usleep(useconds_t(kill * 700));
        QCOMPARE(::kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        const QByteArray onDisk = readBytes(path);
        QVERIFY2(onDisk == first || onDisk == second, qPrintable(QString::number(onDisk.size())));
    }
}

void TestSafeSave::whetherASaveCanWorkIsForeseen_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("replaceable");
    QTest::newRow("writable file") << "" << true;
    QTest::newRow("read-only file system") << "read-only" << false;
    QTest::newRow("locked file") << "locked file" << false;
    QTest::newRow("locked folder: written in place") << "locked folder" << true;
    QTest::newRow("new file in a missing folder") << "missing" << false;
    QTest::newRow("file the user may not write") << "mode" << false;
}

// The probe writes nothing, and says what a save would then do.
void TestSafeSave::whetherASaveCanWorkIsForeseen()
{
    QFETCH(QString, fault);
    QFETCH(bool, replaceable);
    const QString folder = m_dir.filePath(QStringLiteral("probe-") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<SmallFileSystem> disk;
    if (fault == QLatin1String("read-only")) {
        disk.reset(new SmallFileSystem(folder, "size=1m"));
        if (!disk->isMounted())
            QSKIP(smallFileSystemRefused);
    }
    QString path = writeBytes(folder + QStringLiteral("/plan.tv"), "old");
    std::unique_ptr<ImmutablePaths> locked;
    if (fault == QLatin1String("read-only")) {
        QVERIFY(disk->remountReadOnly());
    } else if (fault.startsWith(QLatin1String("locked"))) {
        locked.reset(new ImmutablePaths({fault == QLatin1String("locked file") ? path : folder}));
        if (!locked->isActive())
            QSKIP("The file system cannot lock files");
    } else if (fault == QLatin1String("missing")) {
        path = folder + QStringLiteral("/missing/plan.tv");
    } else if (fault == QLatin1String("mode")) {
        if (geteuid() == 0)
            QSKIP("File modes do not stop root");
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
    }
    const QByteArray before = fault == QLatin1String("missing") ? QByteArray() : readBytes(path);
    QCOMPARE(canReplaceFile(path), replaceable);
    QCOMPARE(QFileInfo::exists(path), !before.isEmpty());
    if (!before.isEmpty())
        QCOMPARE(readBytes(path), before);
    QString reason;
    QCOMPARE(saveFileContent(path, QByteArray("new"), &reason) == SaveOutcome::Saved, replaceable);
}

void TestSafeSave::theBytesAreKnownBeforeTheyAreInPlace_data()
{
    QTest::addColumn<bool>("lockedFolder"); // the file written in place
    QTest::addColumn<bool>("refused"); // by the last look before the bytes go in place
    // Another program renames its version over the file after that look.
    QTest::addColumn<bool>("landing");
    QTest::newRow("renamed into place") << false << false << false;
    QTest::newRow("renamed into place, refused") << false << true << false;
    QTest::newRow("written in place") << true << false << false;
    QTest::newRow("written in place, refused") << true << true << false;
    QTest::newRow("renamed into place, a version landing after the look") << false << false << true;
}

// The saver learns the time and size of its own bytes from the file they were written to, and
// looks at the file last, while the old content is still in place; a refusal leaves it there.
// Whatever the bytes replace, even a version that lands after that look, is handed over.
void TestSafeSave::theBytesAreKnownBeforeTheyAreInPlace()
{
    QFETCH(bool, lockedFolder);
    QFETCH(bool, refused);
    QFETCH(bool, landing);
    const QString folder = m_dir.filePath(QStringLiteral("hooks-") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QString path = writeBytes(folder + QStringLiteral("/plan.tv"), "old");
    std::unique_ptr<ImmutablePaths> locked;
    if (lockedFolder) {
        locked.reset(new ImmutablePaths({folder}));
        if (!locked->isActive())
            QSKIP("The file system cannot lock files");
    }
    QByteArray atTheLook;
    QDateTime time;
    qint64 size = -1;
    QByteArray whenKnown;
    SaveHooks hooks;
    hooks.beforeReplacing = [&](QString *reason) {
        atTheLook = readBytes(path);
        *reason = QStringLiteral("refused");
        if (landing)
            std::rename(QFile::encodeName(writeBytes(folder + QStringLiteral("/theirs"), "theirs"))
                            .constData(),
                        QFile::encodeName(path).constData());
        return !refused;
    };
    QByteArray replaced;
    QString replacedAt;
    // A version that landed is not copied aside here: it must stay where the hook was told.
    hooks.replaced = [&](const QString &content) {
        replaced = readBytes(content);
        replacedAt = content;
        return !landing;
    };
    hooks.written = [&](const QDateTime &modified, qint64 bytes) {
        time = modified;
        size = bytes;
        whenKnown = readBytes(path);
    };
    const auto write = [](QIODevice &device) { return device.write("new bytes") == 9; };
    QString reason;
    const SaveOutcome outcome = saveFileContent(path, write, &reason, hooks);
    QCOMPARE(atTheLook, QByteArray("old"));
    if (refused) {
        QCOMPARE(outcome, SaveOutcome::WriteFailed);
        QCOMPARE(reason, QStringLiteral("refused"));
        QCOMPARE(readBytes(path), QByteArray("old"));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList {"plan.tv"});
        return;
    }
    QCOMPARE(outcome, SaveOutcome::Saved);
    QCOMPARE(readBytes(path), QByteArray("new bytes"));
    if (!lockedFolder)
        QCOMPARE(replaced, landing ? QByteArray("theirs") : QByteArray("old"));
    if (landing) {
        QCOMPARE(readBytes(replacedAt), QByteArray("theirs"));
        QVERIFY(QFile::remove(replacedAt));
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList {"plan.tv"});
    // Renamed, the bytes were known before they were in place; written in place, once written.
    QCOMPARE(whenKnown, lockedFolder ? QByteArray("new bytes") : QByteArray("old"));
    QCOMPARE(size, qint64(9));
    QCOMPARE(time, QFileInfo(path).lastModified());
}

void TestSafeSave::aFailedSaveWritesNowhereElse_data()
{
    QTest::addColumn<bool>("lockedFolder"); // the file written in place
    QTest::addColumn<bool>("fails"); // the writer reports a failure after its first bytes
    QTest::newRow("renamed into place, failed") << false << true;
    QTest::newRow("written in place, failed") << true << true;
    // The file is emptied first: a shorter plan leaves no tail of the longer one.
    QTest::newRow("written in place, shorter") << true << false;
}

// The bytes a failed save still held go nowhere once its descriptor is closed, and a shorter
// plan written in place leaves nothing of the old one.
void TestSafeSave::aFailedSaveWritesNowhereElse()
{
    QFETCH(bool, lockedFolder);
    QFETCH(bool, fails);
    const QString folder = m_dir.filePath(QStringLiteral("reuse-") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QByteArray old(5000, 'o');
    const QString path = writeBytes(folder + QStringLiteral("/plan.tv"), old);
    const QString stranger = m_dir.filePath(QStringLiteral("stranger-") + QTest::currentDataTag());
    strangerDescriptor = open(QFile::encodeName(stranger).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    QVERIFY(strangerDescriptor >= 0);
    std::unique_ptr<ImmutablePaths> locked;
    if (lockedFolder) {
        locked.reset(new ImmutablePaths({folder}));
        if (!locked->isActive())
            QSKIP("The file system cannot lock files");
    }
    const auto write = [fails](QIODevice &device) {
        watchedDescriptor = static_cast<QFileDevice &>(device).handle();
        return device.write("<!DOCTYPE tavrolo>") == 18 && !fails;
    };
    QString reason;
    const SaveOutcome outcome = saveFileContent(path, write, &reason);
    watchedDescriptor = -1;
    if (reusedDescriptor >= 0)
        syscall(SYS_close, reusedDescriptor);
    reusedDescriptor = -1;
    syscall(SYS_close, strangerDescriptor);
    QCOMPARE(outcome, fails ? SaveOutcome::WriteFailed : SaveOutcome::Saved);
    QCOMPARE(readBytes(stranger), QByteArray());
    if (!fails)
        QCOMPARE(readBytes(path), QByteArray("<!DOCTYPE tavrolo>"));
    else if (!lockedFolder)
        QCOMPARE(readBytes(path), old);
}

void TestSafeSave::aNameHoldingNoRegularFileStaysAsItIs_data()
{
    QTest::addColumn<QString>("node"); // what is at the name
    QTest::addColumn<bool>("newFileOnly"); // the save may only make a new file
    QTest::newRow("a pipe") << "pipe" << false;
    QTest::newRow("a link to a pipe") << "link to a pipe" << false;
    QTest::newRow("a character device") << "device" << false;
    QTest::newRow("no name") << "" << false;
    // Two programs keeping a file under one name at once: the second leaves the first's.
    QTest::newRow("a file, where only a new file may be made") << "file" << true;
}

// Nothing is put in place of what is at the name, nothing is written elsewhere, and the save
// fails with a reason.
void TestSafeSave::aNameHoldingNoRegularFileStaysAsItIs()
{
    QFETCH(QString, node);
    QFETCH(bool, newFileOnly);
    const QString folder = m_dir.filePath(QStringLiteral("node-") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    QString path = folder + QStringLiteral("/plan.tv");
    const QByteArray encoded = QFile::encodeName(path);
    const QByteArray pipe = QFile::encodeName(folder + QStringLiteral("/pipe"));
    if (node == QLatin1String("pipe"))
        QCOMPARE(mkfifo(encoded.constData(), 0600), 0);
    if (node == QLatin1String("link to a pipe"))
        QVERIFY(mkfifo(pipe.constData(), 0600) == 0 && symlink("pipe", encoded.constData()) == 0);
    if (node == QLatin1String("device")
        && mknod(encoded.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
        QSKIP("Only root makes a device node");
    if (node == QLatin1String("file"))
        writeBytes(path, "the first program's");
    if (node.isEmpty())
        path.clear();
    struct stat before = {};
    lstat(encoded.constData(), &before);
    const QString workingFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder));
    SaveHooks hooks;
    hooks.onlyAsNewFile = newFileOnly;
    const auto write = [](QIODevice &device) { return device.write("new") == 3; };
    QString reason;
    const SaveOutcome outcome = saveFileContent(path, write, &reason, hooks);
    QDir::setCurrent(workingFolder);
    QCOMPARE(outcome, SaveOutcome::OpenFailed);
    QVERIFY(!reason.isEmpty());
    struct stat after = {};
    lstat(encoded.constData(), &after);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    if (node == QLatin1String("link to a pipe"))
        QVERIFY(QFileInfo(QFile::decodeName(pipe)).exists()
                && !QFileInfo(QFile::decodeName(pipe)).isFile());
    if (node == QLatin1String("file"))
        QCOMPARE(readBytes(path), QByteArray("the first program's"));
    const QStringList left = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden
                                                    | QDir::NoDotAndDotDot | QDir::System);
    QCOMPARE(left.size(), node.isEmpty() ? 0 : node == QLatin1String("link to a pipe") ? 2 : 1);
}

void TestSafeSave::aNewFileTakesTheUserFileMask_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("newFileOnly");
    QTest::newRow("shared with the group and others to read") << 022 << false;
    QTest::newRow("shared with the group to write") << 002 << false;
    QTest::newRow("made only as a new file") << 022 << true;
}

// A new plan is shared as the user shares every new file, not kept to its owner.
void TestSafeSave::aNewFileTakesTheUserFileMask()
{
    QFETCH(int, mask);
    QFETCH(bool, newFileOnly);
    const QString path = m_dir.filePath(QStringLiteral("mask-%1.tv").arg(QTest::currentDataTag()));
    SaveHooks hooks;
    hooks.onlyAsNewFile = newFileOnly;
    const auto write = [](QIODevice &device) { return device.write("new") == 3; };
    const mode_t old = umask(mode_t(mask));
    QString reason;
    const SaveOutcome outcome = saveFileContent(path, write, &reason, hooks);
    umask(old);
    QCOMPARE(outcome, SaveOutcome::Saved);
    struct stat status = {};
    QCOMPARE(stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 0777), 0666 & ~mask);
}

void TestSafeSave::contentPastTheBoundFailsAsItIsWritten_data()
{
    QTest::addColumn<QString>("road"); // "renamed", "in place" (the folder locked) or "new file"
    QTest::addColumn<int>("size"); // of the content, written 100 bytes at a time; the bound is 1000
    QTest::newRow("renamed into place, as large as the bound") << "renamed" << 1000;
    QTest::newRow("renamed into place, a byte past the bound") << "renamed" << 1001;
    QTest::newRow("written in place, a byte past the bound") << "in place" << 1001;
    QTest::newRow("made as a new file, past the bound") << "new file" << 5000;
}

// Past the bound the write that would pass it is refused, and the save fails as for a full disk:
// the file stays as it was, emptied on no road, and nothing is left beside it.
void TestSafeSave::contentPastTheBoundFailsAsItIsWritten()
{
    QFETCH(QString, road);
    QFETCH(int, size);
    const QString folder = m_dir.filePath(QStringLiteral("bound-") + QTest::currentDataTag());
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/plan.tv");
    const QByteArray old(300, 'o');
    if (road != QLatin1String("new file"))
        writeBytes(path, old);
    std::unique_ptr<ImmutablePaths> locked;
    if (road == QLatin1String("in place")) {
        locked.reset(new ImmutablePaths({folder}));
        if (!locked->isActive())
            QSKIP("The file system cannot lock files");
    }
    const QByteArray content = QByteArray("0123456789").repeated(size / 10 + 1).left(size);
    qint64 taken = 0; // by the device before its first refusal, in the last pass
    const auto write = [&](QIODevice &device) {
        taken = 0;
        for (int at = 0; at < content.size(); at += 100) {
            const QByteArray part = content.mid(at, 100);
            if (device.write(part) != part.size())
                return false;
            taken += part.size();
        }
        return true;
    };
    SaveHooks hooks;
    hooks.maximumBytes = 1000;
    hooks.onlyAsNewFile = road == QLatin1String("new file");
    QString reason;
    const SaveOutcome outcome = saveFileContent(path, write, &reason, hooks);
    locked.reset();
    if (size <= 1000) {
        QCOMPARE(outcome, SaveOutcome::Saved);
        QCOMPARE(readBytes(path), content);
        return;
    }
    QCOMPARE(outcome, SaveOutcome::TooLarge);
    QCOMPARE(reason, QStringLiteral("File too large"));
    QCOMPARE(taken, qint64(1000));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             road == QLatin1String("new file") ? QStringList() : QStringList {"plan.tv"});
    if (road != QLatin1String("new file"))
        QCOMPARE(readBytes(path), old);
}

TAVROLO_CORE_TEST_MAIN(TestSafeSave)
#include "tst_safesave.moc"
