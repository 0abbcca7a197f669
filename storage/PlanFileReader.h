#pragma once

#include <QString>

class Document;

// Reads a plan file of any format version into the document, without undo steps or change
// notifications; the caller refreshes the views afterwards. The file is parsed and checked
// before the document is touched, so on a failure the open plan stays exactly as it was and
// errorMessage says why. savedByLaterVersion is set when the file comes from a later
// version of the program (it is still read). Either pointer may be null.
bool readPlanFile(Document &document, const QString &fileName, QString *errorMessage,
                  bool *savedByLaterVersion);
