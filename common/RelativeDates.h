#pragma once

#include <QDate>
#include <QString>

// Date entry: an explicit date in the user's format, or "today", "tomorrow", "+N"/"-N" days
// or a weekday name (the next such day, today included). Invalid when the text is no date.
QDate parseRelativeDate(const QString &text);
// The date the text stands for, written in the user's format; other texts come back as given.
QString normalizeDateText(const QString &text);
QString dateEntryHelpText(bool mentionLetterCase);
