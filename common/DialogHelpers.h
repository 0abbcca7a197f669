#pragma once

#include <QColor>

class QWidget;

// Runs the colour dialog; the chosen colour when accepted, else the initial colour.
QColor pickColor(const QColor &initial, QWidget *parent);

// The set-up every dialog of the program gets in its constructor: no help button, the
// preferred transparency, and no help balloon left hanging over it.
void prepareDialog(QWidget *dialog);

// The look of the small tool buttons beside fields.
void setSmallButtonStyle(QWidget *button);
