#pragma once

#include <QSettings>
#include <QString>

class QIODevice;

// The format both preferences stores are read and written in: the INI text Qt writes, read by
// the program itself (ownPreferenceValues), so that Qt holds only values in the program's shapes
// whenever it reads a store, at the start or again after another program changed it. Qt calls
// the read function under its own lock with the file it opened, so no byte it reads escapes the
// check. What is taken out of a store is kept in a regular file of its own beside it, its name
// the store's with ".set-aside" added, which the program never reads: each line once, and the
// store is written without them only once they are kept there. A store past
// maximumPreferencesFileBytes is moved aside whole, to the first of that name and
// ".set-aside.2" to ".set-aside.100" that is free, and the program never writes one that large.

// Registered with QSettings at the first call; its files end in ".conf".
QSettings::Format preferencesFormat();

// Only the files named here are read in the format: opened by organisation and program name,
// QSettings also reads the organisation's file and the system's for keys missing from the
// store, which the program never writes nor cleans. The name is made absolute, as QSettings
// makes it.
void addPreferencesStore(const QString &fileName);

QString setAsideFileNameOf(const QString &storeName);

// The read and write functions of the format; the device is the store's file.
bool readPreferences(QIODevice &device, QSettings::SettingsMap &map);
bool writePreferences(QIODevice &device, const QSettings::SettingsMap &map);
