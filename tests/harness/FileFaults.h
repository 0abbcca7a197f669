#pragma once

// Files written and read byte for byte, and real faults for save tests. Tests run as root, so file
// modes cannot stop a write; the file-size limit makes writes fail part way, the immutable flag
// stops any file from being created in a folder, and a small file system mounted for the test
// fills up or turns read-only as a real disk does.

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

inline QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
    return path;
}

// Writes beyond the given size fail (EFBIG) while the guard lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old;
};

// Nothing in the paths can be changed, created or removed while the guard lives.
class ImmutablePaths
{
public:
    explicit ImmutablePaths(const QStringList &paths) : m_paths(paths)
    {
        m_ok = QProcess::execute(QStringLiteral("chattr"), QStringList {"+i"} + m_paths) == 0;
    }
    ~ImmutablePaths()
    {
        if (m_ok)
            QProcess::execute(QStringLiteral("chattr"), QStringList {"-i"} + m_paths);
    }
    bool isActive() const { return m_ok; }

private:
    QStringList m_paths;
    bool m_ok = false;
};

// A memory file system mounted over the folder while the guard lives, with the given mount
// options ("size=1m", "size=32k,nr_inodes=16"). Mounting needs the right to (root, as CI runs);
// where it is refused, isMounted() is false and the test skips with smallFileSystemRefused.
class SmallFileSystem
{
public:
    SmallFileSystem(const QString &folder, const QByteArray &options)
        : m_path(QFile::encodeName(folder))
    {
        m_mounted = mount("tmpfs", m_path.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            umount2(m_path.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

    // Takes every free block with one file of the given name; true when the disk is then full.
    bool fill(const QString &fileName = QStringLiteral("filler")) const
    {
        QFile file(QFile::decodeName(m_path) + QLatin1Char('/') + fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (file.write(block) == block.size()) { }
        // A last short write can leave part of a block.
        return file.write("f", 1) != 1;
    }

    // Nothing in it can be written or made any more, by root either.
    bool remountReadOnly() const
    {
        return m_mounted
            && mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    bool remountWritable() const
    {
        return m_mounted && mount("tmpfs", m_path.constData(), "tmpfs", MS_REMOUNT, nullptr) == 0;
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

inline constexpr char smallFileSystemRefused[]
    = "A small file system cannot be mounted here (mounting needs root rights)";
