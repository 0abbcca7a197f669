#pragma once

#include <QDomElement>

struct CardsAppearance;
struct ChartsAppearance;
class DomDocument;
class Slice;
struct TableAppearance;

// Fill one presentation record each from the field elements of a plan-file element. Every
// field takes the file's value or the reader's own default, never what the record held, so
// a record read from an empty element holds the defaults. Nothing here fails.

// The filter terms a view keeps from a file: far more than anyone adds one at a time in the
// filter section. Every card is tested against every term at each layout, and the section
// shows a row per term, so tens of thousands of them would freeze the window.
constexpr int maximumFilterTerms = 1000;

// Fills every field but the name; filter terms are appended, so pass a view without terms.
// Returns how many filter terms were left out: those past maximumFilterTerms.
int readSliceXml(const DomDocument &dom, const QDomElement &parent, Slice &slice);

// version is the plan file's format version: files up to version 6 kept the title and
// header sizes in a scale three times smaller, and before version 14 row headers were
// written horizontally unless the file said otherwise.
void readCardsAppearanceXml(const DomDocument &dom, int version, const QDomElement &parent,
                            CardsAppearance &appearance);
void readChartsAppearanceXml(const DomDocument &dom, const QDomElement &parent,
                             ChartsAppearance &appearance);
void readTableAppearanceXml(const DomDocument &dom, const QDomElement &parent,
                            TableAppearance &appearance);
