#include "harness/FileFaults.h"
#include "harness/PlainTestMain.h"
#include "storage/SafeSave.h"

#include <sys/mount.h>

#include <QTemporaryDir>

namespace {

// A file system of a few pages and inodes mounted for the test's life; needs root rights.
class TinyFileSystem
{
public:
    explicit TinyFileSystem(const QString &path) : m_path(QFile::encodeName(path))
    {
        m_mounted
            = mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=32k,nr_inodes=16,mode=700") == 0;
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            umount2(m_path.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

} // namespace

class TestSafeSave : public QObject
{
    Q_OBJECT
private slots:
    void fileSystemWithoutFreeInodeKeepsOldContent();

private:
    QTemporaryDir m_dir;
};

void TestSafeSave::fileSystemWithoutFreeInodeKeepsOldContent()
{
    const QString folder = m_dir.filePath(QStringLiteral("tiny"));
    QVERIFY(QDir().mkpath(folder));
    TinyFileSystem tiny(folder);
    if (!tiny.isMounted())
        QSKIP("A small file system cannot be mounted here (it needs root rights)");
    const QString path = folder + QStringLiteral("/plan.tv");
    const QByteArray old(20000, 'o');
    int errorCode = 0;
    QCOMPARE(saveFileContent(path, old, &errorCode), SaveOutcome::Saved);
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
    QCOMPARE(saveFileContent(path, QByteArray(40000, 'n'), &errorCode), SaveOutcome::OpenFailed);
    QCOMPARE(readBytes(path), old);
    QVERIFY(QFile::remove(folder + QStringLiteral("/filler0")));
    QCOMPARE(saveFileContent(path, QByteArray(12000, 'n'), &errorCode), SaveOutcome::Saved);
    QCOMPARE(readBytes(path), QByteArray(12000, 'n'));
}

TAVROLO_CORE_TEST_MAIN(TestSafeSave)
#include "tst_safesave.moc"
