#pragma once

#include <QColor>
#include <QString>

class QAction;
class QBoxLayout;
class QRect;
class QWidget;

// Runs the colour dialog; the chosen colour when accepted, else the initial colour.
QColor pickColor(const QColor &initial, QWidget *parent);

// The set-up every dialog of the program gets in its constructor: no help button, the
// preferred transparency, and no help balloon left hanging over it.
void prepareDialog(QWidget *dialog);

// The look of the small tool buttons beside fields.
void setSmallButtonStyle(QWidget *button);

// True for a separator and for the flexible spaces of the toolbar.
bool isSpacerAction(const QAction *action);
// Inserts the widget into the layout at the position, between fixed spacers of the given
// heights (a height of 0 or less adds no spacer).
void wrapWithSpacers(QWidget *widget, QBoxLayout *layout, int topHeight, int bottomHeight,
                     int position);

// Paints a hint in grey, centred in the area of a list's or table's viewport: what the empty
// lists and tables show in place of rows.
void drawCenteredHint(QWidget *viewport, const QRect &area, const QString &text);
