#pragma once

#include <QByteArray>

// The preferences file is read by Qt, which decodes every value of a group at the first read of
// any key of it, and hands a value in its "@Variant(" shape to QDataStream as it stands: a
// string list of a dozen bytes claiming two thousand million entries asks for gigabytes, under
// a key the program never reads. The program writes only text (with Qt's "@@" and "@String("
// forms of it, and "@Invalid()" for an empty list) and byte arrays ("@ByteArray("), so a key
// line in any other shape was not written by it; it is taken out of the file before Qt reads
// the file, and counts as missing. No widgets, so that tests check it without a window.

// The most bytes of a preferences file that is read at all. What the program writes stays far
// below it: some sixty short keys, the recent plans and a line of a few kilobytes for each
// stored Cards appearance, so a file past 8 MiB holds thousands of appearances nobody kept or
// was not written by the program; Qt would hold it whole, several times over, while reading.
constexpr qint64 maximumPreferencesFileBytes = qint64(8) << 20;

// The text of a preferences file without its key lines whose value Qt would decode into anything
// but text, a byte array or nothing. Lines and values are taken as Qt's INI reader takes them:
// a logical line goes on past a backslash or an open quote and ends at a comment; a value is a
// comma-separated list of elements, quoted or not, and an element is judged by its first
// characters once its escapes are undone. Each line taken out is appended to setAside after the
// line of its group, in file order, so that the user can find it again; setAside is left as it
// was when nothing is taken out, and the text then comes back unchanged.
QByteArray withoutForeignPreferenceValues(const QByteArray &text, QByteArray *setAside);
