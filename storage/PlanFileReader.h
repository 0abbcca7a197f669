#pragma once

#include <QString>

class Document;
class QIODevice;

// Reads a plan file of any format version into the document, without undo steps or change
// notifications; the caller refreshes the views afterwards. The file is parsed and checked
// before the document is touched, so on a failure the open plan stays exactly as it was and
// errorMessage says why. savedByLaterVersion is set when the file comes from a later
// version of the program (it is still read). notice is set, on success, when the reader left
// out part of the file (more filter terms than a view keeps), to tell the user; it is left
// alone otherwise. Any of the pointers may be null. A path that is no regular file once links
// are followed (a device, a pipe, a folder) fails as one that can't be opened, without being
// opened.
bool readPlanFile(Document &document, const QString &fileName, QString *errorMessage,
                  bool *savedByLaterVersion, QString *notice = nullptr);
// The same from a device open for reading (a file, or bytes in memory): its size stands for the
// file's in the limits, and fileName names it in the messages. The device is read as
// readBoundedBytes reads it: one that holds more than it says (a file of the system that never
// ends) fails as a file that can't be opened, and one that holds more than a plan's text can be
// as a file too large to be opened.
bool readPlanFile(Document &document, QIODevice *device, const QString &fileName,
                  QString *errorMessage, bool *savedByLaterVersion, QString *notice = nullptr);
