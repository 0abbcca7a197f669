#pragma once

// What the benchmarks share that run each step in a fresh process of their own, so that a
// step's peak memory is its own: memory figures, printing and starting a step.

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace BenchTools {

// Mebibytes from the kernel's figures for this process's own memory map. The peak that
// getrusage reports would also count the memory the parent had at the fork before this
// program started.
inline double memoryMebibytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

inline double peakMebibytes()
{
    return memoryMebibytes("VmHWM:");
}

inline double residentMebibytes()
{
    return memoryMebibytes("VmRSS:");
}

inline void print(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

// Runs this program again with the arguments, its output going to ours; waits for it.
inline int runChild(const QStringList &arguments)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(-1);
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
}

} // namespace BenchTools
