#include "common/core/PreferencesFormat.h"

#include "common/core/FileHelpers.h"
#include "common/core/SavedPreferenceShapes.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDebug>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QTemporaryFile>

namespace {

// What the read of a store could not keep aside, so that its next write does not lose it.
struct StoreState
{
    // Lines taken out that could not be added to the set-aside file: they are written back
    // into the store after its values, where only the program reads them, and taken out again.
    QByteArray heldBack;
    // A store that was not read whole: too large to read and not moved aside, or changing
    // while it was read. It is never written over.
    bool keptAsItIs = false;
};

QMutex &storesMutex()
{
    static QMutex mutex;
    return mutex;
}

QHash<QString, StoreState> &stores()
{
    static QHash<QString, StoreState> states;
    return states;
}

QString storeNameOf(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    return file ? QFileInfo(file->fileName()).absoluteFilePath() : QString();
}

void setState(const QString &name, const StoreState &state)
{
    const QMutexLocker locker(&storesMutex());
    stores()[name] = state;
}

// What the store's file says of itself: a read during which it stays the same read the one
// version of it.
struct FileStamp
{
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;

    bool operator==(const FileStamp &other) const
    {
        return size == other.size && modified == other.modified && changed == other.changed;
    }
};

FileStamp stampOf(QIODevice &device)
{
    FileStamp stamp;
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    struct stat status;
    if (!file || file->handle() < 0 || ::fstat(file->handle(), &status) != 0) {
        stamp.size = device.size();
        return stamp;
    }
    constexpr qint64 nanoseconds = 1000000000;
    stamp.size = status.st_size;
    stamp.modified = status.st_mtim.tv_sec * nanoseconds + status.st_mtim.tv_nsec;
    stamp.changed = status.st_ctim.tv_sec * nanoseconds + status.st_ctim.tv_nsec;
    return stamp;
}

enum class StoreRead { Whole, TooLarge, Unsettled };

// Only the size found at the first look makes a store too large: one that grows, shrinks or is
// rewritten in place while it is read (another program writing it), or whose read fails, is read
// once more from its start, and is unsettled when that read fails too.
StoreRead readStoreText(QIODevice &device, QByteArray *text)
{
    constexpr int attempts = 2;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const FileStamp before = stampOf(device);
        if (attempt == 0 && before.size > maximumPreferencesFileBytes)
            return StoreRead::TooLarge;
        if ((attempt == 0 || device.seek(0))
            && readBoundedBytes(&device, maximumPreferencesFileBytes, text)
            && text->size() == before.size && stampOf(device) == before)
            return StoreRead::Whole;
    }
    text->clear();
    return StoreRead::Unsettled;
}

// A store too large to be read goes aside whole, under the first of the set-aside names that
// is free: a rename never replaces what is there.
bool moveAsideWhole(const QString &fileName)
{
    constexpr int mostNames = 100;
    const QString setAsideName = setAsideFileNameOf(fileName);
    if (QFile::rename(fileName, setAsideName))
        return true;
    for (int number = 2; number <= mostNames; ++number) {
        if (QFile::rename(fileName, setAsideName + QLatin1Char('.') + QString::number(number)))
            return true;
    }
    return false;
}

// The set-aside file as it is, when it is a regular file: it is opened without following a
// link and without waiting on a pipe, and anything but a regular file counts as empty, to be
// replaced. False when a regular file of it can't be read whole.
bool readSetAside(const QString &name, QByteArray *text)
{
    text->clear();
    const int descriptor = ::open(QFile::encodeName(name).constData(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT || errno == ELOOP;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return true;
    }
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return false;
    }
    return readBoundedBytes(&file, maximumPreferencesFileBytes, text);
}

// Writes a new file beside the name and renames it over the name: a link there is replaced,
// never written through, and a pipe never opened.
bool replaceFile(const QString &name, const QByteArray &text)
{
    QTemporaryFile file(name + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(text) != text.size() || !file.flush()
        || ::fsync(file.handle()) != 0)
        return false;
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(name).constData())
        != 0)
        return false;
    file.setAutoRemove(false);
    return true;
}

// Adds the lines the set-aside file does not hold yet; true once all of them are there.
bool keepAside(const QString &storeName, const QByteArray &lines)
{
    const QString name = setAsideFileNameOf(storeName);
    QByteArray existing;
    if (!readSetAside(name, &existing))
        return false;
    const QByteArray added = newSetAsideLines(existing, lines);
    return added.isEmpty() || replaceFile(name, existing + added);
}

} // namespace

QSettings::Format preferencesFormat()
{
    static const QSettings::Format format
        = QSettings::registerFormat(QStringLiteral("conf"), readPreferences, writePreferences);
    return format;
}

QString preferencesStoreToOpen(const QString &fileName)
{
    struct stat status;
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return fileName;
    qWarning("Preferences not read: %s is no regular file; it is left as it is, and this "
             "session runs on the defaults and saves no preference",
             qPrintable(fileName));
    // A device is no folder: nothing can be read or made below it, whoever runs the program.
    return QStringLiteral("/dev/null/") + QFileInfo(fileName).fileName();
}

QString setAsideFileNameOf(const QString &storeName)
{
    return storeName + QStringLiteral(".set-aside");
}

bool readPreferences(QIODevice &device, QSettings::SettingsMap &map)
{
    const QString name = storeNameOf(device);
    StoreState state;
    QByteArray text;
    switch (readStoreText(device, &text)) {
    case StoreRead::TooLarge:
        state.keptAsItIs = !moveAsideWhole(name);
        setState(name, state);
        return true;
    case StoreRead::Unsettled:
        qWarning("Preferences not read: %s changed while it was read; it is left as it is, and "
                 "not written over until it is read whole",
                 qPrintable(name));
        state.keptAsItIs = true;
        setState(name, state);
        return true;
    case StoreRead::Whole:
        break;
    }
    QByteArray setAside;
    map = ownPreferenceValues(text, &setAside);
    if (!setAside.isEmpty() && !keepAside(name, setAside))
        state.heldBack = setAside;
    setState(name, state);
    return true;
}

bool writePreferences(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QString name = storeNameOf(device);
    StoreState state;
    {
        const QMutexLocker locker(&storesMutex());
        state = stores().value(name);
    }
    if (state.keptAsItIs)
        return false;
    QByteArray text = ownPreferencesText(map);
    if (!state.heldBack.isEmpty())
        text += '\n' + state.heldBack;
    // What the program writes it reads again: a store it would set aside at the next start
    // stays as it was.
    if (text.size() > maximumPreferencesFileBytes) {
        qWarning("Preferences not saved: %s would grow past %lld bytes", qPrintable(name),
                 maximumPreferencesFileBytes);
        return false;
    }
    return device.write(text) == text.size();
}
