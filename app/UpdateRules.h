#pragma once

#include <QDate>
#include <QMap>
#include <QString>

class Settings;

// What the update check decides from plain values: whether the automatic check is due, and
// what the request tells the maker's server. No widgets, so that tests check them without a
// window.

// Whether the automatic check is due at the start of a run: not in the first two runs, never
// with the interval "never", and otherwise once the interval has passed since the last check.
bool isUpdateCheckDue(int sessions, int intervalIndex, const QDate &lastCheck, const QDate &today);

// The query keys "f" (the interval in days, or "m" for a check the user asked for), "p" (the
// platform), "s" (the number of runs) and "v" (the running version) of the update request.
QMap<QString, QString> updateQueryParameters(bool automatic, const Settings &preferences);

// The running version as the update messages write it, "2.4.1".
QString runningVersionText();
