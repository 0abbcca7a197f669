#pragma once

#include <QString>
#include <QStringList>

// What the main window decides at start-up from plain values: the plan named on the command
// line, and the preference that records the sample plans were offered. No widgets, so that
// tests check them without a window.

// The plan named on the command line: the first argument after the program's own that is not
// an option ("-..."), made absolute against the current folder, with native separators. Read
// before the window makes the data folder the current one.
QString planArgument(const QStringList &arguments);

// The preference that records the sample plans were offered, once per version: that of the
// running program, or of the given one. Tests preset it through these.
QString samplesOfferKey();
QString samplesOfferKey(int major, int minor, int patch);
