#pragma once

#include "model/Document.h"

#include <functional>

#include <QString>

class QWidget;

// Warns after adding ("new") or editing ("edited") cards that the filter hides some of them,
// and offers to remove the filter: the plan's, or for a pane that filters on its own the one
// removePaneFilter removes; silent once the user asked not to be warned again.
void warnHiddenByFilter(Document &document, int count, const QString &adjective,
                        const std::function<void()> &removePaneFilter = {});

// When the user renames a property, offers to put the new name into the names of the stored
// views that contain the old one. Called right before the undoable property edit, which is
// handed the answer and renames the views itself: its one undo step and notification cover
// them, and undo gives back both names. When mayAsk is given, it is called before the question
// is put; when it says the user may not be asked, the views keep their names unasked.
Document::ViewNames offerRenameInStoredViews(const Document &document, QWidget *parent,
                                             int property, const QString &newName,
                                             const std::function<bool()> &mayAsk = {});
