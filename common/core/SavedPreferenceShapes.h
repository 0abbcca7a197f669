#pragma once

#include <QByteArray>
#include <QSettings>

// The preferences are stored as INI text, which Qt's own INI reader decodes whole, handing a
// value in its "@Variant(" shape to QDataStream as it stands: a string list of a dozen bytes
// claiming two thousand million entries asks for gigabytes, under a key the program never
// reads, and a group line without its closing bracket sends it looking for the bracket to the
// end of the file, once for each such line. The program writes only text (with Qt's "@@" and
// "@String(" forms of it, and "@Invalid()" for an empty list) and byte arrays ("@ByteArray("),
// so the store is read here instead, in those shapes only, in one pass, and written here in the
// text Qt's INI writer gives them, which earlier versions read as they always did. No widgets,
// so that tests check them without a window.

// The most bytes of a preferences file that is read at all, and that the program writes. What
// the program writes stays far below it: some sixty short keys, the recent plans and a line of a
// few kilobytes for each stored Cards appearance, so a file past 8 MiB holds thousands of
// appearances nobody kept or was not written by the program.
constexpr qint64 maximumPreferencesFileBytes = qint64(8) << 20;

// The values of a preferences text as Qt's INI reader gives them (keys of a group as
// "group/key"), for the values in the program's shapes. Lines and values are taken as that reader
// takes them: a logical line goes on past a backslash or an open quote and ends at a comment; a
// value is a comma-separated list of elements, quoted or not, and an element is judged by its
// first characters once its escapes are undone. A key line whose value holds an element in any
// other shape is appended to setAside after the line of its group, and counts as missing; so is
// a group line without its closing bracket, with every line of its group.
QSettings::SettingsMap ownPreferenceValues(const QByteArray &text, QByteArray *setAside);

// The INI text of the values, as Qt's INI writer writes them without a text codec: the general
// group first, then the others in the order of their names, each key escaped as Qt escapes it.
QByteArray ownPreferencesText(const QSettings::SettingsMap &values);

// The lines of setAside (as ownPreferenceValues gives them) that existing (an earlier set-aside
// text) does not hold yet under the same group line, each after the line of its group: what
// was set aside once is not set aside again.
QByteArray newSetAsideLines(const QByteArray &existing, const QByteArray &setAside);
