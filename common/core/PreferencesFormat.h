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
// maximumPreferencesFileBytes when it is opened is moved aside whole, to the first of that name
// and ".set-aside.2" to ".set-aside.100" that is free, and the program never writes one that
// large. A store another program changes while it is read is read once more; when it changes
// again, or a read fails, it is left as it is and not written over, as one too large to move.

// Registered with QSettings at the first call; its files end in ".conf". Each store is opened
// by its file name in it, so that Qt opens that one file and no other.
QSettings::Format preferencesFormat();

// The name QSettings is given for a store: the store's own when it is a regular file (a link to
// one counts) or absent. Anything else Qt would open at every sync, and a pipe holds the open
// until another program writes to it, so it is left as it is, with the reason in the diagnostic
// output: QSettings gets a name under a device instead, where no file is ever made, and the
// session runs on defaults and writes nothing.
QString preferencesStoreToOpen(const QString &fileName);

QString setAsideFileNameOf(const QString &storeName);

// The read and write functions of the format; the device is the store's file.
bool readPreferences(QIODevice &device, QSettings::SettingsMap &map);
bool writePreferences(QIODevice &device, const QSettings::SettingsMap &map);
