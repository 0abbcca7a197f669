#pragma once

#include "model/Events.h"
#include "model/ModelTypes.h"

#include <functional>

#include <QDialog>
#include <QList>

namespace Ui {
class ReplaceDialog;
}
class QPushButton;

// The find-and-replace tool window: it counts the cards whose values, link addresses, link
// names or notes contain a text, selects them in the Cards or Table pane, and replaces the
// text in all of them in one undoable step. The main window keeps at most one, modeless beside
// it, and forgets it on closing().
//
// Listens to what changes the property list (a whole plan, properties added, changed, deleted
// or re-ordered) and to what changes the texts it searches (cards, values, notes, links); each
// counts the matches again.
class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::PropertiesReordered
        | EventFlag::PropertyAdded | EventFlag::PropertyChanged | EventFlag::PropertyDeleted
        | EventFlag::TaskAdded | EventFlag::TasksDeleted | EventFlag::ValueChanged
        | EventFlag::TaskNotesChanged | EventFlag::TaskLinksChanged;

    // What the window needs of the main window it serves: whether the pane on show can select
    // cards, and selecting them there. Without them (tests) matches cannot be selected.
    struct CardSelection
    {
        std::function<bool()> canSelect;
        std::function<void(const QList<TaskIndex> &tasks)> select;
    };

    explicit ReplaceDialog(QWidget *parent = nullptr, const CardSelection &selection = {});
    // Writes the choices of the check boxes and the geometry, then emits closing().
    ~ReplaceDialog() override;

signals:
    void closing();

public slots:
    // Also run by the main window when the selection of its pane changes, since whether the
    // matches can be selected depends on the pane on show.
    void onUpdatePreview();
    void onReplace();
    void onSelect();
    void onChangedDoc(const Events &events);
    // Lists "<All>" and the properties, keeping the chosen property when it is still there.
    void onRefreshProperties();
    void addProperty(int pi);
    void updateProperty(int pi);
    void removeProperty(int pi);
    void onPropertiesToggled();

private:
    QList<TaskIndex> runReplace(bool preview);
    bool canSelectInShownPane() const;

    Ui::ReplaceDialog *m_ui;
    CardSelection m_selection;
    QPushButton *m_replaceButton;
    // The parent's class when the window was made. While the parent is being destroyed it
    // reports a base class instead, and closing() must not call into what is left of it.
    const QMetaObject *m_parentClass;
};
