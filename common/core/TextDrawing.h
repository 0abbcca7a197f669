#pragma once

#include <QMap>
#include <QString>

// Replaces a property index by the key of the first entry (in key order) whose value it is,
// or by -1 when no entry has it. Indexes of 0 or below ("none") are left alone. Re-ordering
// properties builds maps from new index to old index; this turns an old index into the new one.
void keyForValue(int &index, const QMap<int, int> &map);

// Keeps only the text before the first percent-encoded line break ("%0A" in either case).
void cutAtEncodedNewline(QString &text);
