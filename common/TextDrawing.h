#pragma once

#include <QMap>
#include <QString>

// Replaces a property index by the key of the first entry (in key order) whose value it is,
// or by -1 when no entry has it. Indexes of 0 or below ("none") are left alone. Re-ordering
// properties builds maps from new index to old index; this turns an old index into the new one.
void keyForValue(int &index, const QMap<int, int> &map);

// Keeps only the text before the first percent-encoded line break ("%0A" in either case).
void cutAtEncodedNewline(QString &text);

class QAction;
class QBoxLayout;
class QWidget;

// Plan paths kept in the preferences travel with the portable settings file, so they are
// stored relative to the application folder. Empty and absolute paths come back unchanged.
QString absolutePath(const QString &path);
// Relative paths come back unchanged.
QString relativePath(const QString &path);

// True for a separator and for the flexible spaces of the toolbar.
bool isSpacerAction(const QAction *action);
// Inserts the widget into the layout at the position, between fixed spacers of the given
// heights (a height of 0 or less adds no spacer).
void wrapWithSpacers(QWidget *widget, QBoxLayout *layout, int topHeight, int bottomHeight,
                     int position);
