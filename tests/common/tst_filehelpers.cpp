#include "common/core/FileHelpers.h"
#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray patterned(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

void copyRow(const char *name, int size, const QString &from, const QString &to, bool overwrite,
             bool ok, const QString &target)
{
    QTest::newRow(name) << size << from << to << overwrite << ok << target;
}

} // namespace

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copyFileCopiesEveryByteOrChangesNothing_data();
    void copyFileCopiesEveryByteOrChangesNothing();
    void failedWriteLeavesNoPartialTarget_data();
    void failedWriteLeavesNoPartialTarget();
    void boundedReadTakesNoMoreThanTheMaximum_data();
    void boundedReadTakesNoMoreThanTheMaximum();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestFileHelpers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestFileHelpers::copyFileCopiesEveryByteOrChangesNothing_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("target"); // holds the "source" bytes, its "old" ones or is "none"
    copyRow("empty file", 0, "plan.tv", "copy.tv", false, true, "source");
    copyRow("odd size over a longer file", 100003, "plan.tv", "old.tv", true, true, "source");
    copyRow("existing target kept without overwrite", 10, "plan.tv", "old.tv", false, true, "old");
    copyRow("missing folder is made", 10, "plan.tv", "Backups/plan.tvb", false, true, "source");
    copyRow("two missing folders", 10, "plan.tv", "a/b/copy.tv", true, false, "none");
    copyRow("missing source", 10, "missing.tv", "copy.tv", true, false, "none");
    copyRow("folder as source", 10, "folder", "copy.tv", true, false, "none");
    copyRow("pipe as source", 10, "pipe", "copy.tv", true, false, "none");
    // A file of the system that passes for an empty regular file and reads on for gigabytes.
    copyRow("link to an endless file as source", 10, "endless.tv", "copy.tvb", true, false, "none");
    copyRow("onto itself through a dot folder", 3000, "plan.tv", "./plan.tv", true, false,
            "source");
    copyRow("onto itself through a symbolic link", 3000, "plan.tv", "link.tv", true, false,
            "source");
    // A new copy is never made through a link to a file that does not exist yet.
    copyRow("link leading nowhere without overwrite", 10, "plan.tv", "nowhere.tvb", false, false,
            "none");
    // A copy renamed over it would take its place for every program that reads it.
    copyRow("onto a pipe", 10, "plan.tv", "pipe", true, false, "pipe");
    copyRow("onto a link to a pipe", 10, "plan.tv", "pipe link", true, false, "pipe");
}

void TestFileHelpers::copyFileCopiesEveryByteOrChangesNothing()
{
    QFETCH(int, size);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, overwrite);
    QFETCH(bool, ok);
    QFETCH(QString, target);
    const QByteArray content = patterned(size);
    const QByteArray old("older and longer content than some sources");
    QVERIFY(writeFile(path("plan.tv"), content));
    QVERIFY(writeFile(path("old.tv"), old));
    QVERIFY(QFile::link(path("plan.tv"), path("link.tv")));
    QVERIFY(QFile::link(path("made through a link.tv"), path("nowhere.tvb")));
    QVERIFY(QDir(m_dir->path()).mkdir("folder"));
    QCOMPARE(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    QVERIFY(QFile::link(path("pipe"), path("pipe link")));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/pagemap"), path("endless.tv")));
    QString reason;
    QCOMPARE(copyFile(path(from), path(to), overwrite, &reason), ok);
    QCOMPARE(readBytes(path("plan.tv")), content);
    QVERIFY(!QFileInfo::exists(path("made through a link.tv")));
    struct stat pipe = {};
    QVERIFY(lstat(QFile::encodeName(path("pipe")).constData(), &pipe) == 0
            && S_ISFIFO(pipe.st_mode));
    if (target == "pipe")
        QVERIFY(!reason.isEmpty());
    else if (target == "none")
        QVERIFY(!QFileInfo::exists(path(to)));
    else
        QCOMPARE(readBytes(path(to)), target == "old" ? old : content);
}

void TestFileHelpers::failedWriteLeavesNoPartialTarget_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("new target") << false;
    QTest::newRow("overwritten target") << true;
}

void TestFileHelpers::failedWriteLeavesNoPartialTarget()
{
    QFETCH(bool, targetExists);
    QVERIFY(writeFile(path("plan.tv"), patterned(20000)));
    if (targetExists)
        QVERIFY(writeFile(path("copy.tvb"), "previous backup"));
    bool copied = true;
    {
        FileSizeLimit limit(4096);
        copied = copyFile(path("plan.tv"), path("copy.tvb"), true);
    }
    QVERIFY(!copied);
    if (targetExists)
        QCOMPARE(readBytes(path("copy.tvb")), QByteArray("previous backup"));
    else
        QVERIFY(!QFileInfo::exists(path("copy.tvb")));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), targetExists ? 2 : 1);
}

// A file that holds more than the reader takes is refused before it is read, not cut short.
void TestFileHelpers::boundedReadTakesNoMoreThanTheMaximum_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("start"); // where the file stands when it is read
    QTest::addColumn<int>("maximum");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("pipe"); // the bytes come through a pipe, which states no length
    QTest::newRow("exactly the maximum") << 5000 << 0 << 5000 << true << false;
    QTest::newRow("one byte over the maximum") << 5001 << 0 << 5000 << false << false;
    QTest::newRow("the maximum from where the file stands") << 5007 << 7 << 5000 << true << false;
    QTest::newRow("one byte over from where the file stands")
        << 5008 << 7 << 5000 << false << false;
    QTest::newRow("exactly the maximum through a pipe") << 5000 << 0 << 5000 << true << true;
    QTest::newRow("one byte over the maximum through a pipe") << 5001 << 0 << 5000 << false << true;
}

void TestFileHelpers::boundedReadTakesNoMoreThanTheMaximum()
{
    QFETCH(int, size);
    QFETCH(int, start);
    QFETCH(int, maximum);
    QFETCH(bool, ok);
    QFETCH(bool, pipe);
    const QByteArray content = patterned(size);
    QFile file(path("plan.tv"));
    if (pipe) {
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        QCOMPARE(::write(ends[1], content.constData(), size_t(size)), ssize_t(size));
        ::close(ends[1]);
        QVERIFY(file.open(ends[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    } else {
        QVERIFY(writeFile(path("plan.tv"), content));
        QVERIFY(file.open(QIODevice::ReadOnly) && file.seek(start));
    }
    QByteArray bytes("left from before");
    // Every refusal here is of more than the maximum, which the reader's messages tell apart.
    bool tooLarge = ok;
    QCOMPARE(readBoundedBytes(&file, maximum, &bytes, &tooLarge), ok);
    QCOMPARE(bytes, ok ? content.mid(start) : QByteArray());
    QCOMPARE(tooLarge, !ok);
}

TAVROLO_CORE_TEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
