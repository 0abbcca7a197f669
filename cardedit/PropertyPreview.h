#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class Document;

// What the card dialog's quick-add line assigns to one property. The dialog keeps one per
// property that existed when it opened, in property order.
struct PropertyPreview
{
    int propertyIndex = 0;
    // The name when the dialog opened.
    QString name;
    // A lower-case prefix of the name that no earlier record took; empty when none is left.
    QString abbreviation;
    QString value;
    // What the property gets when quick add assigns it nothing: the caller's preset, else
    // the property's default value.
    QString defaultValue;
    bool used = false;
};

// One comma- or semicolon-separated part of the quick-add line: "name=value", or a bare value
// (empty name) whose property is guessed.
struct QuickAddTerm
{
    QString name;
    QString value;

    bool operator==(const QuickAddTerm &other) const
    {
        return name == other.name && value == other.value;
    }
};

// Gives each record the shortest lower-case prefix of its name not taken by an earlier one.
void setAbbreviations(QList<PropertyPreview> &records);

// The line split at ";" when it holds one, else at ","; each part at "=". Parts with neither a
// name nor a value are left out.
QList<QuickAddTerm> quickAddTerms(const QString &text);

// 0 text, 1 number, 2 date, as a bare quick-add value reads; relative dates such as "today"
// count as dates.
int quickAddValueType(const QString &text, const Document &plan);

// Assigns the terms of the line to the records: by name, by abbreviation, then bare values
// to the first property that already has such a value (knownValues: each property's values in
// lower case, indexed by property), then to one of their type, then to any property left.
// Records that get nothing take their default value. Names that name no property fill
// nothing. Returns false when the line holds no term.
bool assignQuickAddTerms(QList<PropertyPreview> &records, const QString &text, const Document &plan,
                         const QList<QSet<QString>> &knownValues);
