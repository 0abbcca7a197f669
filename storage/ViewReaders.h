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

// The filter terms a plan keeps from its file, all its views together. Every card is tested
// against every term of the current view at each layout, and the filter section shows a row
// per term, so a few kilobytes of hostile XML must not ask for millions of them. The file pays
// for its terms as it pays for its cells: the smallest term this program writes, with its
// margin and line break, takes bytesPerFilterTerm bytes, so a file keeps as many terms as its
// size explains (and a thousand in any case), and every filter the program saved comes back
// whole.
constexpr qint64 filterTermsAlwaysAllowed = 1000;
constexpr qint64 bytesPerFilterTerm = 52;
qint64 filterTermsAllowed(qint64 fileSize);
// The window tests every card against every term of the current view at each layout, but for
// "is" and "is not" terms on a text property, which it looks up. A view keeps the terms tested
// one by one as far as they make no more tests than a thousand terms over ten thousand cards,
// and a thousand in any case; the others as far as the file's size explains them.
constexpr qint64 filterTestsAllowed = qint64(1000) * 10000;

// Fills every field but the name; filter terms are appended, so pass a view without terms.
// termsAllowed is how many filter terms the plan may still take; it is lowered by those read.
// Returns how many filter terms were left out: those past the allowance.
int readSliceXml(const DomDocument &dom, const QDomElement &parent, Slice &slice,
                 qint64 &termsAllowed);

// version is the plan file's format version: files up to version 6 kept the title and
// header sizes in a scale three times smaller, and before version 14 row headers were
// written horizontally unless the file said otherwise.
void readCardsAppearanceXml(const DomDocument &dom, int version, const QDomElement &parent,
                            CardsAppearance &appearance);
void readChartsAppearanceXml(const DomDocument &dom, const QDomElement &parent,
                             ChartsAppearance &appearance);
void readTableAppearanceXml(const DomDocument &dom, const QDomElement &parent,
                            TableAppearance &appearance);
