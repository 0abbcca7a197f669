#pragma once

#include <QPair>
#include <QVector>
#include <QtGlobal>

class QIODevice;

// Stretches [from, to) of a device's bytes, by their places from the device's start.
using ByteStretches = QVector<QPair<qint64, qint64>>;

// The stretches of the bytes from `from` to `to` of the device that are there: the holes of a
// file read as zeros but take no room on its disk, so that a file stating gigabytes may hold a
// few kilobytes. What the file system cannot tell (a device that is no file, a pipe) counts as
// there; nothing past the device's size is.
ByteStretches stretchesThere(QIODevice *device, qint64 from, qint64 to);
// How many bytes those stretches hold.
qint64 bytesThere(QIODevice *device, qint64 from, qint64 to);
