#pragma once

#include <QString>

class Document;
class QWidget;

// Warns after adding ("new") or editing ("edited") cards that the filter hides some of them,
// and offers to remove the plan's filter; silent once the user asked not to be warned again.
void warnHiddenByFilter(Document &document, int count, const QString &adjective);

// After the user renamed a property, offers to put the new name into the names of the stored
// views that contain the old one. Called right before the undoable property edit, whose undo
// step and notification then cover the renamed views too.
void offerRenameInStoredViews(Document &document, QWidget *parent, int property,
                              const QString &newName);
