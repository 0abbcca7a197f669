#include "common/core/FileHelpers.h"

#include <sys/stat.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const qint64 copyBlockSize = 512;
// A device that states no length is taken in blocks that double as they come, as readAll takes
// it, from this size up.
const qint64 firstStreamBlockSize = 64 * 1024;

// What the device says it holds from where it stands; -1 for one that states nothing.
qint64 statedLength(const QIODevice &device)
{
    if (device.isSequential())
        return -1;
    return qMax<qint64>(0, device.size() - device.pos());
}

bool isSameFile(const QString &from, const QString &to)
{
    if (from == to)
        return true;
    const QString target = QFileInfo(to).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(from).canonicalFilePath();
}

bool ensureParentFolder(const QString &path)
{
    const QDir parent = QFileInfo(path).absoluteDir();
    if (parent.exists())
        return true;
    return QDir().mkdir(parent.absolutePath());
}

bool copyContent(QFile &source, QSaveFile &target)
{
    // One byte past the stated length tells a source that holds more (see readBoundedBytes).
    const qint64 stated = statedLength(source);
    char block[copyBlockSize];
    qint64 copied = 0;
    for (;;) {
        const qint64 wanted = stated < 0 ? copyBlockSize : qMin(copyBlockSize, stated + 1 - copied);
        const qint64 read = source.read(block, wanted);
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        copied += read;
        if (stated >= 0 && copied > stated)
            return false;
        if (target.write(block, read) != read)
            return false;
    }
}

bool isValidFolder(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isDir() && !info.isSymLink();
}

// Entries that copyFolder takes: readable, no symbolic links, no hidden ones.
QFileInfoList folderEntries(const QString &folder, QDir::Filters kind)
{
    return QDir(folder).entryInfoList(kind | QDir::Readable | QDir::NoSymLinks
                                          | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase);
}

// The sub-folder when it exists (made first when asked), else the folder it would live in.
QString subFolder(const QString &parent, const QString &name, bool create)
{
    QDir dir(parent);
    // On Linux the Documents folder itself may not exist yet on a fresh account.
    if (create && !dir.exists(name))
        dir.mkpath(name);
    if (dir.exists(name))
        return QDir(dir.absoluteFilePath(name)).absolutePath();
    return dir.exists() ? dir.absolutePath() : parent;
}

} // namespace

bool readBoundedBytes(QIODevice *device, qint64 maximum, QByteArray *bytes, bool *tooLarge)
{
    bytes->clear();
    const qint64 stated = statedLength(*device);
    if (tooLarge)
        *tooLarge = stated > maximum;
    if (stated > maximum)
        return false;
    const qint64 limit = (stated < 0 ? maximum : stated) + 1;
    qint64 got = 0;
    while (got < limit) {
        const qint64 block
            = stated < 0 ? qMin(limit - got, qMax(got, firstStreamBlockSize)) : limit - got;
        bytes->resize(int(got + block));
        const qint64 read = device->read(bytes->data() + got, block);
        if (read < 0) {
            bytes->clear();
            return false;
        }
        if (read == 0)
            break;
        got += read;
    }
    if (got == limit) {
        if (tooLarge)
            *tooLarge = got > maximum;
        bytes->clear();
        return false;
    }
    bytes->resize(int(got));
    return true;
}

bool mayPutFileInPlace(const QString &fileName, QString *reason)
{
    struct stat status = {};
    if (fileName.isEmpty() || stat(QFile::encodeName(fileName).constData(), &status) != 0
        || S_ISREG(status.st_mode))
        return true;
    if (reason)
        *reason = S_ISDIR(status.st_mode) ? QStringLiteral("It is a folder")
                                          : QStringLiteral("It is not a regular file");
    return false;
}

bool openSaveFile(QSaveFile *file, QString *reason)
{
    if (reason)
        reason->clear();
    return mayPutFileInPlace(file->fileName(), reason) && file->open(QIODevice::WriteOnly);
}

bool commitSaveFile(QSaveFile *file, QString *reason)
{
    if (reason)
        reason->clear();
    if (!file->flush() || !mayPutFileInPlace(file->fileName(), reason)) {
        file->cancelWriting(); // the temporary file goes with the QSaveFile
        return false;
    }
    return file->commit();
}

bool copyFile(const QString &from, const QString &to, bool overwrite, QString *reason)
{
    const QFileInfo source(from);
    // Only a regular file: a device never ends, and a pipe blocks until someone writes to it.
    if (!source.isFile() || !source.isReadable())
        return false;
    if (isSameFile(from, to))
        return false;
    if (!overwrite && QFileInfo::exists(to))
        return true;
    // A new file is made at its own name, never through a link that leads nowhere yet: the
    // link may point anywhere (a shared backup folder can hold one).
    if (!overwrite && QFileInfo(to).isSymLink())
        return false;
    if (!ensureParentFolder(to))
        return false;
    QFile input(from);
    QSaveFile output(to);
    if (!input.open(QIODevice::ReadOnly) || !openSaveFile(&output, reason))
        return false;
    if (!copyContent(input, output)) {
        output.cancelWriting(); // the temporary file goes with the QSaveFile
        return false;
    }
    return commitSaveFile(&output, reason);
}

void ensureTrailingSeparator(QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return;
    path += QDir::separator();
}

bool copyFolder(QString &from, QString &to, bool overwrite)
{
    ensureTrailingSeparator(from);
    ensureTrailingSeparator(to);
    if (!isValidFolder(from)) {
        qWarning().noquote() << QStringLiteral("Invalid from folder ") + from;
        return false;
    }
    if (!isValidFolder(to)) {
        qWarning().noquote() << QStringLiteral("Invalid to folder ") + to;
        return false;
    }
    if (QDir(from).absolutePath() == QDir(to).absolutePath()) {
        qWarning() << "From and to folders the same";
        return false;
    }
    bool ok = true;
    for (const QFileInfo &file : folderEntries(from, QDir::Files)) {
        if (!copyFile(from + file.fileName(), to + file.fileName(), overwrite)) {
            qWarning().noquote() << QStringLiteral("failed to copy file '%1' from '%2' to '%3'")
                                        .arg(file.fileName(), from, to);
            ok = false;
        }
    }
    for (const QFileInfo &folder : folderEntries(from, QDir::Dirs)) {
        const QString name = folder.fileName();
        if (!QFileInfo::exists(to + name) && !QDir(to).mkdir(name)) {
            qWarning().noquote()
                << QStringLiteral("Couldn't create sub-dir '%1' in '%2'").arg(name, to);
            ok = false;
            continue;
        }
        QString fromSub = from + name;
        QString toSub = to + name;
        if (!copyFolder(fromSub, toSub, overwrite))
            ok = false;
    }
    return ok;
}

QString dataFolder(bool create)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return subFolder(documents, QStringLiteral("Tavrolo"), create);
}

QString backupsFolder(bool create)
{
    return subFolder(dataFolder(create), QStringLiteral("Backups"), create);
}
