#include "common/core/FileHoles.h"

#include <cerrno>

#include <QFileDevice>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

ByteStretches stretchesThere(QIODevice *device, qint64 from, qint64 to)
{
    if (!device->isSequential())
        to = qMin(to, device->size());
    ByteStretches there;
    if (to <= from)
        return there;
#if defined(Q_OS_UNIX) && defined(SEEK_DATA) && defined(SEEK_HOLE)
    const auto *file = qobject_cast<const QFileDevice *>(device);
    const int handle = file && !device->isSequential() ? file->handle() : -1;
    if (handle >= 0) {
        // The search moves the descriptor, which the device reads from next: it goes back.
        const off_t stood = ::lseek(handle, 0, SEEK_CUR);
        off_t at = off_t(from);
        while (at < to) {
            const off_t data = ::lseek(handle, at, SEEK_DATA);
            if (data < 0) {
                // ENXIO: nothing but a hole from there to the end.
                if (errno != ENXIO)
                    there.append(qMakePair(qint64(at), to));
                break;
            }
            if (data >= to)
                break;
            const off_t hole = ::lseek(handle, data, SEEK_HOLE);
            const qint64 end = hole < 0 ? to : qMin<qint64>(hole, to);
            there.append(qMakePair(qint64(data), end));
            at = off_t(end);
        }
        if (stood >= 0)
            ::lseek(handle, stood, SEEK_SET);
        return there;
    }
#endif
    there.append(qMakePair(from, to));
    return there;
}

qint64 bytesThere(QIODevice *device, qint64 from, qint64 to)
{
    qint64 total = 0;
    for (const auto &stretch : stretchesThere(device, from, to))
        total += stretch.second - stretch.first;
    return total;
}
