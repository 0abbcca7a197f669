#pragma once

// Files written and read byte for byte, and real faults for save tests. Tests run as root, so file
// modes cannot stop a write; the file-size limit makes writes fail part way, and the immutable flag
// stops any file from being created in a folder.

#include <csignal>
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
