#include "common/FileHelpers.h"
#include "harness/TestMain.h"

#include <csignal>
#include <sys/resource.h>

#include <QTemporaryDir>

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray patterned(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// Makes every write beyond the limit fail, as a full disk would, for the guard's lifetime.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved;
};

} // namespace

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void copiesWholeFiles_data();
    void copiesWholeFiles();
    void refusesToCopyAFileOntoItself_data();
    void refusesToCopyAFileOntoItself();
    void keepsExistingTargetWithoutOverwrite();
    void failedWriteLeavesNoPartialTarget_data();
    void failedWriteLeavesNoPartialTarget();
    void refusesMissingSourceAndDeepTarget();
    void copiesFolderTrees();
    void folderCopyRefusesBadFolders();
    void dataFoldersAreMadeOnRequest();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestFileHelpers::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

void TestFileHelpers::copiesWholeFiles_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("one block") << 512;
    QTest::newRow("two blocks exactly") << 1024;
    QTest::newRow("odd size") << 100003;
}

void TestFileHelpers::copiesWholeFiles()
{
    QFETCH(int, size);
    const QByteArray content = patterned(size);
    QVERIFY(writeFile(path("plan.tv"), content));
    QVERIFY(writeFile(path("old.tvb"), "older and longer content than some sources"));
    QVERIFY(copyFile(path("plan.tv"), path("copy.tv"), false));
    QCOMPARE(readFile(path("copy.tv")), content);
    QVERIFY(copyFile(path("plan.tv"), path("old.tvb"), true));
    QCOMPARE(readFile(path("old.tvb")), content);
    // The target's folder is made when missing.
    QVERIFY(copyFile(path("plan.tv"), path("Backups/plan.tvb"), false));
    QCOMPARE(readFile(path("Backups/plan.tvb")), content);
}

void TestFileHelpers::refusesToCopyAFileOntoItself_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("same text") << "plan.tv" << true;
    QTest::newRow("same text, no overwrite") << "plan.tv" << false;
    QTest::newRow("through a dot folder") << "./plan.tv" << true;
    QTest::newRow("through a symbolic link") << "link.tv" << true;
}

void TestFileHelpers::refusesToCopyAFileOntoItself()
{
    QFETCH(QString, target);
    QFETCH(bool, overwrite);
    const QByteArray content = patterned(3000);
    QVERIFY(writeFile(path("plan.tv"), content));
    QVERIFY(QFile::link(path("plan.tv"), path("link.tv")));
    QVERIFY(!copyFile(path("plan.tv"), path(target), overwrite));
    QCOMPARE(readFile(path("plan.tv")), content);
}

void TestFileHelpers::keepsExistingTargetWithoutOverwrite()
{
    QVERIFY(writeFile(path("plan.tv"), "new"));
    QVERIFY(writeFile(path("copy.tv"), "old"));
    QVERIFY(copyFile(path("plan.tv"), path("copy.tv"), false));
    QCOMPARE(readFile(path("copy.tv")), QByteArray("old"));
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
        QCOMPARE(readFile(path("copy.tvb")), QByteArray("previous backup"));
    else
        QVERIFY(!QFileInfo::exists(path("copy.tvb")));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), targetExists ? 2 : 1);
}

void TestFileHelpers::refusesMissingSourceAndDeepTarget()
{
    QVERIFY(!copyFile(path("missing.tv"), path("copy.tv"), true));
    QVERIFY(!QFileInfo::exists(path("copy.tv")));
    QVERIFY(writeFile(path("plan.tv"), "x"));
    // Only one missing folder level is made.
    QVERIFY(!copyFile(path("plan.tv"), path("a/b/copy.tv"), true));
    QVERIFY(!copyFile(m_dir->path(), path("copy.tv"), true));
}

void TestFileHelpers::copiesFolderTrees()
{
    QDir root(m_dir->path());
    QVERIFY(root.mkpath("from/Samples/Deep"));
    QVERIFY(root.mkpath("to/Samples"));
    QVERIFY(writeFile(path("from/a.tv"), "a"));
    QVERIFY(writeFile(path("from/Samples/b.tv"), "b"));
    QVERIFY(writeFile(path("from/Samples/Deep/c.tv"), "c"));
    QVERIFY(writeFile(path("from/.hidden"), "h"));
    QVERIFY(writeFile(path("to/Samples/b.tv"), "user's own b"));
    QString from = path("from");
    QString to = path("to");
    QVERIFY(copyFolder(from, to, false));
    QCOMPARE(from, path("from/"));
    QCOMPARE(to, path("to/"));
    QCOMPARE(readFile(path("to/a.tv")), QByteArray("a"));
    QCOMPARE(readFile(path("to/Samples/b.tv")), QByteArray("user's own b"));
    QCOMPARE(readFile(path("to/Samples/Deep/c.tv")), QByteArray("c"));
    QVERIFY(!QFileInfo::exists(path("to/.hidden")));
    QVERIFY(copyFolder(from, to, true));
    QCOMPARE(readFile(path("to/Samples/b.tv")), QByteArray("b"));
}

void TestFileHelpers::folderCopyRefusesBadFolders()
{
    QDir(m_dir->path()).mkpath("from");
    QString from = path("from");
    QString missing = path("missing/to");
    QTest::ignoreMessage(QtWarningMsg, qPrintable("Invalid to folder " + missing + "/"));
    QVERIFY(!copyFolder(from, missing, false));
    QString same = path("from/");
    QTest::ignoreMessage(QtWarningMsg, "From and to folders the same");
    QVERIFY(!copyFolder(from, same, false));
    QString empty;
    QTest::ignoreMessage(QtWarningMsg, "Invalid from folder ");
    QVERIFY(!copyFolder(empty, from, false));
}

void TestFileHelpers::dataFoldersAreMadeOnRequest()
{
    const QString documents = QDir::homePath() + QStringLiteral("/Documents");
    QDir(documents + QStringLiteral("/Tavrolo")).removeRecursively();
    QCOMPARE(dataFolder(false), documents);
    QCOMPARE(backupsFolder(false), documents);
    QCOMPARE(dataFolder(true), documents + QStringLiteral("/Tavrolo"));
    QCOMPARE(backupsFolder(true), documents + QStringLiteral("/Tavrolo/Backups"));
    QVERIFY(QFileInfo(documents + QStringLiteral("/Tavrolo/Backups")).isDir());
}

TAVROLO_TEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
