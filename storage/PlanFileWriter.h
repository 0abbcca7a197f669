#pragma once

#include <QDomElement>
#include <QString>

struct CardsAppearance;
struct ChartsAppearance;
class Document;
class DomDocument;
class Slice;
struct TableAppearance;

// The format version this program writes; files of a higher one come from a later version.
constexpr int planFileVersion = 14;
extern const char planFileTypeName[]; // "tavrolo"

// The plan file: XML of document type "tavrolo", format version 14, every attribute text
// percent-encoded. The file is replaced only once the whole new text is on disk, so a full
// disk or a crash during a save leaves the previous plan file as it was.
bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage);

// The whole file text as writePlanFile stores it.
QByteArray planFileText(const Document &document);

// Who wrote the file and when; only informs the reader of the file.
QString lastSavedByText();

void writeSliceXml(DomDocument &dom, QDomElement &parent, const Slice &slice);
void writeCardsAppearanceXml(DomDocument &dom, QDomElement &parent,
                             const CardsAppearance &appearance);
void writeChartsAppearanceXml(DomDocument &dom, QDomElement &parent,
                              const ChartsAppearance &appearance);
void writeTableAppearanceXml(DomDocument &dom, QDomElement &parent,
                             const TableAppearance &appearance);
