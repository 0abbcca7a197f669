#include "storage/SafeSave.h"

#include "common/core/FileHelpers.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QRandomGenerator>

namespace {

// The system's words for the failure just seen on the file: the error the failing system call
// left, taken before anything else runs, since the file reports a write cut short (a file grown
// past the size limit) without a reason of its own; else whatever the file says.
QString failureReason(const QFileDevice &file, int systemError)
{
    if (systemError != 0)
        return QString::fromLocal8Bit(std::strerror(systemError));
    return file.errorString();
}

QString tooLargeReason()
{
    return QString::fromLocal8Bit(std::strerror(EFBIG));
}

// Whether the folder that holds the file (behind any link) refuses new files by permission:
// a folder the user may not write to, or one locked against changes. A folder that merely
// has no room left does not count, since writing in place there would cut the old content
// short. The folder's answer is asked directly, because the reason a temporary file could
// not be made does not survive the save file's own clean-up.
bool folderRefusesNewFiles(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    QByteArray probe
        = QFile::encodeName(QFileInfo(target).absolutePath() + QStringLiteral("/.tavrolo-XXXXXX"));
    const int descriptor = mkstemp(probe.data());
    if (descriptor >= 0) {
        close(descriptor);
        unlink(probe.constData());
        return false;
    }
    return errno == EACCES || errno == EPERM;
}

// The time and size of the bytes written, once they are synced and their file closed: some
// file systems (network shares, some mounted by user programs) set the time only at the close.
void tellWritten(const QByteArray &path, const SaveHooks &hooks)
{
    struct stat status = {};
    if (!hooks.written || stat(path.constData(), &status) != 0)
        return;
    hooks.written(QDateTime::fromMSecsSinceEpoch(qint64(status.st_mtim.tv_sec) * 1000
                                                 + status.st_mtim.tv_nsec / 1000000),
                  qint64(status.st_size));
}

// Passes the content on to a device until it would pass a number of bytes: the write that would
// take it past is refused whole, and nothing of it is passed on. Without a device it only counts.
class BoundedWriter : public QIODevice
{
public:
    BoundedWriter(QIODevice *device, qint64 maximum) : m_device(device), m_maximum(maximum)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool passedMaximum() const { return m_passed; }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (m_passed || length > m_maximum - m_written) {
            m_passed = true;
            setErrorString(tooLargeReason());
            return -1;
        }
        const qint64 written = m_device ? m_device->write(data, length) : length;
        if (written > 0)
            m_written += written;
        return written;
    }

private:
    QIODevice *m_device;
    qint64 m_maximum;
    qint64 m_written = 0;
    bool m_passed = false;
};

// The one owner of a descriptor the bytes are written to. The QFile on it is closed before the
// descriptor on every path: bytes it still buffered after a failed write would otherwise go out
// when it is destroyed, to whatever file the system has given the number to since.
class WrittenFile
{
public:
    explicit WrittenFile(int descriptor) : m_descriptor(descriptor)
    {
        m_file.open(descriptor, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    }
    ~WrittenFile()
    {
        if (m_descriptor >= 0) {
            m_file.close();
            ::close(m_descriptor);
        }
    }
    WrittenFile(const WrittenFile &) = delete;
    WrittenFile &operator=(const WrittenFile &) = delete;

    // WriteFailed or TooLarge on a failure, the content bounded as the hooks say.
    SaveOutcome write(const std::function<bool(QIODevice &device)> &writeContent,
                      const SaveHooks &hooks, QString *reason)
    {
        errno = 0;
        if (hooks.maximumBytes < 0) {
            if (writeContent(m_file) && m_file.flush())
                return SaveOutcome::Saved;
            *reason = failureReason(m_file, errno);
            return SaveOutcome::WriteFailed;
        }
        BoundedWriter bounded(&m_file, hooks.maximumBytes);
        if (writeContent(bounded) && m_file.flush())
            return SaveOutcome::Saved;
        if (bounded.passedMaximum()) {
            *reason = tooLargeReason();
            return SaveOutcome::TooLarge;
        }
        *reason = failureReason(m_file, errno);
        return SaveOutcome::WriteFailed;
    }

    // The sync's own failure is not the save's: some file systems do not sync at all. The
    // close's is, since a network file system may report a failed write only there.
    bool finish(bool sync, QString *reason)
    {
        m_file.close();
        if (sync)
            fdatasync(m_descriptor);
        const int descriptor = m_descriptor;
        m_descriptor = -1;
        if (::close(descriptor) == 0)
            return true;
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }

private:
    QFile m_file;
    int m_descriptor;
};

SaveOutcome writeInPlace(const QString &fileName,
                         const std::function<bool(QIODevice &device)> &writeContent,
                         QString *reason, const SaveHooks &hooks)
{
    // No file to write in place: the reason the folder gave stands.
    if (!QFileInfo(fileName).isFile())
        return SaveOutcome::OpenFailed;
    if (hooks.maximumBytes >= 0) {
        BoundedWriter counted(nullptr, hooks.maximumBytes);
        if (!writeContent(counted) && counted.passedMaximum()) {
            *reason = tooLargeReason();
            return SaveOutcome::TooLarge;
        }
    }
    if (hooks.beforeReplacing && !hooks.beforeReplacing(reason))
        return SaveOutcome::WriteFailed;
    const QByteArray path = QFile::encodeName(fileName);
    const int descriptor = open(path.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (descriptor < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return SaveOutcome::OpenFailed;
    }
    WrittenFile file(descriptor);
    const SaveOutcome written = file.write(writeContent, hooks, reason);
    if (written != SaveOutcome::Saved)
        return written;
    if (!file.finish(false, reason))
        return SaveOutcome::WriteFailed;
    tellWritten(path, hooks);
    return SaveOutcome::Saved;
}

// A file made at the name itself, only while nothing is there: two programs keeping a file under
// one name at once each get a file of their own, or one of them fails.
SaveOutcome writeNewFile(const QString &fileName,
                         const std::function<bool(QIODevice &device)> &writeContent,
                         QString *reason, const SaveHooks &hooks)
{
    const QByteArray path = QFile::encodeName(fileName);
    const int descriptor = open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return SaveOutcome::OpenFailed;
    }
    WrittenFile file(descriptor);
    const SaveOutcome written = file.write(writeContent, hooks, reason);
    if (written != SaveOutcome::Saved || !file.finish(true, reason)) {
        unlink(path.constData());
        return written == SaveOutcome::Saved ? SaveOutcome::WriteFailed : written;
    }
    tellWritten(path, hooks);
    return SaveOutcome::Saved;
}

// The file the bytes replace: behind any links, as far as they lead, so that a link keeps
// pointing where it did.
QString linkTarget(const QString &fileName)
{
    QFileInfo existing(fileName);
    int depth = 128;
    while (--depth > 0 && existing.isSymLink())
        existing.setFile(existing.symLinkTarget());
    return depth > 0 ? existing.filePath() : fileName;
}

// A new file beside the target, under the target's name and a random ending; a new plan gets
// the permissions the user's file mask gives, and an existing one its own once the file is made,
// no one else reading the file meanwhile.
int createBeside(const QByteArray &target, const struct stat *existing, QByteArray *path)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = target + '.';
        for (int i = 0; i < 6; ++i)
            *path += letters[QRandomGenerator::global()->bounded(int(sizeof(letters)) - 1)];
        const int descriptor = open(path->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                    existing ? 0600 : 0666);
        if (descriptor >= 0) {
            if (existing)
                fchmod(descriptor, existing->st_mode & 07777);
            return descriptor;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// Puts the bytes at the temporary name in the target's place. Where the file system can swap
// the two names in one step, whatever the target held at that instant (a version another program
// renamed over it since the last look) comes out at the temporary name and is handed to the
// hook before it is removed; elsewhere, and where there is no file at the target yet, it is
// renamed over the target.
bool putInPlace(const QByteArray &temporary, const QByteArray &target, QString *reason,
                const SaveHooks &hooks)
{
    struct stat status = {};
    // A folder swapped in would be moved away under the temporary name: only a file is swapped.
    if (lstat(target.constData(), &status) == 0 && S_ISREG(status.st_mode)
        && renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE)
            == 0) {
        const QString replaced = QFile::decodeName(temporary);
        if (!hooks.replaced || hooks.replaced(replaced))
            unlink(temporary.constData());
        return true;
    }
    // Something else may have come to the name since the save began.
    if (!mayPutFileInPlace(QFile::decodeName(target), reason)) {
        unlink(temporary.constData());
        return false;
    }
    if (rename(temporary.constData(), target.constData()) == 0)
        return true;
    *reason = QString::fromLocal8Bit(std::strerror(errno));
    unlink(temporary.constData());
    return false;
}

} // namespace

SaveOutcome saveFileContent(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    return saveFileContent(
        fileName, [&bytes](QIODevice &device) { return device.write(bytes) == bytes.size(); },
        reason);
}

SaveOutcome saveFileContent(const QString &fileName,
                            const std::function<bool(QIODevice &device)> &writeContent,
                            QString *reason, const SaveHooks &hooks)
{
    // An empty name would make the temporary file, hidden, in the working folder.
    if (fileName.isEmpty()) {
        *reason = QString::fromLocal8Bit(std::strerror(ENOENT));
        return SaveOutcome::OpenFailed;
    }
    const QFileInfo existing(fileName);
    if (existing.isDir()) {
        *reason = QStringLiteral("Filename refers to a directory");
        return SaveOutcome::OpenFailed;
    }
    if (!mayPutFileInPlace(fileName, reason))
        return SaveOutcome::OpenFailed;
    if (hooks.onlyAsNewFile)
        return writeNewFile(fileName, writeContent, reason, hooks);
    errno = 0;
    int descriptor = -1;
    QByteArray temporary;
    const QByteArray target = QFile::encodeName(linkTarget(fileName));
    if (!existing.exists() || access(QFile::encodeName(fileName).constData(), W_OK) == 0) {
        struct stat status = {};
        const bool exists = stat(target.constData(), &status) == 0;
        descriptor = createBeside(target, exists ? &status : nullptr, &temporary);
    }
    if (descriptor < 0) {
        // Taken before the folder is probed, which sets errors of its own.
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        if (folderRefusesNewFiles(fileName))
            return writeInPlace(fileName, writeContent, reason, hooks);
        return SaveOutcome::OpenFailed;
    }
    {
        WrittenFile file(descriptor);
        const SaveOutcome written = file.write(writeContent, hooks, reason);
        if (written != SaveOutcome::Saved || !file.finish(true, reason)) {
            unlink(temporary.constData());
            return written == SaveOutcome::Saved ? SaveOutcome::WriteFailed : written;
        }
    }
    tellWritten(temporary, hooks);
    if (hooks.beforeReplacing && !hooks.beforeReplacing(reason)) {
        unlink(temporary.constData());
        return SaveOutcome::WriteFailed;
    }
    if (!putInPlace(temporary, target, reason, hooks))
        return SaveOutcome::WriteFailed;
    return SaveOutcome::Saved;
}

bool canReplaceFile(const QString &fileName, QString *reason)
{
    const QFileInfo info(fileName);
    if (!mayPutFileInPlace(fileName, reason))
        return false;
    // The rename of a save, or the write in place, needs the file itself to take writes; the
    // folder refusing a new file only sends the save down the in-place road.
    const QString asked = info.exists() ? info.canonicalFilePath() : info.absolutePath();
    const int wanted = info.exists() ? W_OK : W_OK | X_OK;
    if (faccessat(AT_FDCWD, QFile::encodeName(asked).constData(), wanted, AT_EACCESS) == 0)
        return true;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

QString writeFailureMessage(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Can't save '%1': %2.").arg(fileName, reason);
}

QString withFailureReason(const QString &message, const QString &reason)
{
    if (reason.isEmpty())
        return message;
    return message + QLatin1Char('\n') + reason + QLatin1Char('.');
}

SaveOutcome saveFileWithMessage(const QString &fileName,
                                const std::function<bool(QIODevice &device)> &writeContent,
                                const QString &openFailedMessage, QString *errorMessage,
                                const SaveHooks &hooks)
{
    QString reason;
    const SaveOutcome outcome = saveFileContent(fileName, writeContent, &reason, hooks);
    if (outcome == SaveOutcome::OpenFailed)
        *errorMessage = withFailureReason(openFailedMessage, reason);
    else if (outcome != SaveOutcome::Saved)
        *errorMessage = writeFailureMessage(fileName, reason);
    return outcome;
}
