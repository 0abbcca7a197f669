#pragma once

#include <QColor>
#include <QString>

class QAction;
class QBoxLayout;
class QByteArray;
class QRect;
class QWidget;

// The area of all screens together, which the window shapes kept in the preferences are
// checked against.
QRect desktopGeometry();
// Restores a geometry kept in the preferences, when it is one the window could have written on
// this desktop (isRestorableGeometry); anything else leaves the window as it is.
void restoreSavedGeometry(QWidget *window, const QByteArray &geometry);

// Runs the colour dialog; the chosen colour when accepted, else the initial colour.
QColor pickColor(const QColor &initial, QWidget *parent);

// The set-up every dialog of the program gets in its constructor: no help button, the
// preferred transparency, no help balloon left hanging over it, and room for long text in
// its line edits (allowLongText).
void prepareDialog(QWidget *dialog);

// A line edit cuts its text at 32,767 characters unless told otherwise, while a plan value
// may be longer (CSV imports and plan files keep any length): a field showing such a value
// would hand back the cut text, and an untouched OK would store it. Lifts that default limit
// on the widget, when it is a line edit, and on every line edit inside it; a limit set on
// purpose (the 30 characters of a property name) stays.
void allowLongText(QWidget *widget);

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
