#pragma once

#include "common/core/ValueFormats.h"

#include <QDate>
#include <QString>

// Date entry: an explicit date in the given format, or "today", "tomorrow", "+N"/"-N" days
// or a weekday name (the next such day, today included). Invalid when the text is no date.
QDate parseRelativeDate(const QString &text, const ValueFormats &formats);
// The date the text stands for, written in the given format; other texts come back as given.
QString normalizeDateText(const QString &text, const ValueFormats &formats);
QString dateEntryHelpText(bool mentionLetterCase, const ValueFormats &formats);
