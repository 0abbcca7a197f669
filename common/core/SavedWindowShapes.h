#pragma once

#include <QByteArray>
#include <QRect>

// The window geometry and main-window state kept in the preferences are restored by Qt without
// bounds: a state of thirteen bytes claiming two thousand million tool-bar lines keeps the
// restore busy for minutes, and a geometry of a window 100,000 pixels a side asks for a buffer
// of tens of gigabytes. The preferences may come from anywhere (a portable file handed on), so
// only what the program writes itself is handed to Qt; anything else is ignored, as a missing
// preference is. No widgets, so that tests check them without a window.

// The most tool-bar lines and tool bars a line that a stored state may hold, and the longest
// object name of a tool bar in it: far above the one tool bar the window has.
constexpr int maximumStoredToolBarLines = 16;
constexpr int maximumStoredToolBarsPerLine = 16;
constexpr int maximumStoredToolBarNameLength = 256;

// True for a main-window state as QMainWindow::saveState(version) writes it for a window
// without dock widgets: the version asked for, tool-bar areas and counts within the bounds
// above, each floating tool bar lying within the desktop (the area of all screens together),
// and not a byte more or less than they account for. Qt places a floating tool bar where the
// state says, at its size, and fits it onto no screen: one of 32767 x 65535 pixels asks for a
// backing store of gigabytes, and one off the desktop could not be reached to be docked again.
bool isRestorableWindowState(const QByteArray &state, int version, const QRect &desktop);

// True for a geometry as QWidget::saveGeometry writes it (any of its three versions, of the
// length that version has) whose window is no larger than twice the desktop (the area of all
// screens together) in either direction, so that a window kept on a larger desktop still comes
// back, to be fitted onto this one.
bool isRestorableGeometry(const QByteArray &geometry, const QRect &desktop);
