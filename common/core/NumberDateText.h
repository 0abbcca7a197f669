#pragma once

#include "common/core/ValueFormats.h"

#include <QDate>
#include <QPair>
#include <QString>
#include <QStringList>

// Card values are text; these decide whether a value is a number or a date, and what it
// stands for, under the number and date formats they are given.

// Currency signs are ignored; "inf" and "nan" are no numbers.
double stringToNumber(const QString &text, const ValueFormats &formats, bool emptyIsZero,
                      bool *ok = nullptr);
QString numberToString(double value, const ValueFormats &formats);
// A number as a value to store: the text reads back through stringToNumber as the same double.
// Whole numbers are written as integers, others in the fewest digits that do, without group
// separators.
QString exactNumberToString(double value, const ValueFormats &formats);
// 0 text, 1 numeric, 2 date; numbers take precedence ("2020" is numeric).
int guessValueType(const QString &text, const ValueFormats &formats);
// The smallest and largest number among the texts, a text that is no number counting as 0 as
// it does when cards are binned; (0, 0) for no texts.
QPair<double, double> numberRange(const QStringList &texts, const ValueFormats &formats);
// The earliest and latest of the texts that read as dates; invalid dates when none does.
QPair<QDate, QDate> dateRange(const QStringList &texts, const ValueFormats &formats);

// Date formats: 0 day-month-year, 1 month-day-year, 2 year-month-day.
QDate stringToDate(const QString &text, const ValueFormats &formats, bool *ok = nullptr);
QDate stringToDateWithFormat(const QString &text, int dateFormat, bool *ok = nullptr);
bool isWeekend(const QString &text, const ValueFormats &formats);
QString dateToString(const QDate &date, int dateFormat, bool longYear);

bool fuzzyEqual(double a, double b);

// The local date. Asking the system costs a time-zone lookup, and bucketing or reading the
// dates of a large plan asks for every value, so the answer is reused for up to a second.
QDate today();

// Where a date lies relative to today: 0 past, 1 today, 2 tomorrow, 3 within the next
// 7 days, 4 later, 5 undefined (an invalid date).
int dateBucket(const QDate &date);
QString dateBucketName(int bucket);

QString propertyTypeName(int declaredType);
QString matchTypeName(int matchType);
