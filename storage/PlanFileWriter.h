#pragma once

#include <QDomElement>
#include <QString>

class QIODevice;

struct CardsAppearance;
struct ChartsAppearance;
class Document;
class DomDocument;
class Slice;
struct TableAppearance;
class XmlTextWriter;
struct SaveHooks;

// The format version this program writes; files of a higher one come from a later version.
constexpr int planFileVersion = 14;
extern const char planFileTypeName[]; // "tavrolo"

// The plan file: XML of document type "tavrolo", format version 14, every attribute text
// percent-encoded. The file is replaced only once the whole new text is on disk, so a full
// disk or a crash during a save leaves the previous plan file as it was.
bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage);
// The same, with a last look at the file before the new text replaces it and the time and size
// of the text written (SaveHooks).
bool writePlanFile(const Document &document, const QString &fileName, QString *errorMessage,
                   const SaveHooks &hooks);

// The most bytes writePlanFile puts in a file: the most the reader takes
// (maximumTextFileBytes). A plan whose text would pass it is not saved: the writing stops
// there, the file is left as it was, and the message says the plan is too large. Tests lower
// it, to reach it without writing a gigabyte.
qint64 maximumPlanFileBytes();
void setMaximumPlanFileBytes(qint64 bytes);

// The whole file text as writePlanFile stores it.
QByteArray planFileText(const Document &document);
// Writes the file text to a device as it is made; false when a write to the device failed.
bool writePlanText(const Document &document, QIODevice *device);

// Who wrote the file and when; only informs the reader of the file.
QString lastSavedByText();

// The field elements of one block, written into the element the writer has open.
void writeSliceXml(XmlTextWriter &out, const Slice &slice);
void writeCardsAppearanceXml(XmlTextWriter &out, const CardsAppearance &appearance);
void writeChartsAppearanceXml(XmlTextWriter &out, const ChartsAppearance &appearance);
void writeTableAppearanceXml(XmlTextWriter &out, const TableAppearance &appearance);
// The same Cards appearance fields appended to an element of a tree, for the stored
// appearances of the preferences.
void writeCardsAppearanceXml(DomDocument &dom, QDomElement &parent,
                             const CardsAppearance &appearance);
