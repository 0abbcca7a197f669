#pragma once

#include "cardedit/PropertyPreview.h"
#include "model/Events.h"
#include "model/HyperLink.h"
#include "model/ModelTypes.h"

#include <QDialog>
#include <QList>
#include <QSet>
#include <QStringList>

namespace Ui {
class TaskDialog;
}
class CardsEditScrollWidget;
class DelayedEditLineEdit;
class ExpandingScrollArea;
class QCheckBox;
class QGraphicsScene;
class QLabel;
class QToolButton;

// Adds one card ("Add Card") or edits the selected cards ("Edit 1 Card", "Edit %1 Cards").
// It wraps the card editor in a scroll area that grows with it and, when adding, offers the
// quick-add line: the user types the card as 'name=Fix login, p=high, due=+3' and the terms
// are spread over the fields as they type, bare values going to the property they most
// likely belong to. The plan changes only when the dialog is accepted.
//
// Listens to what renames, adds, removes or moves the properties its labels and quick-add
// records name; every change drops the values it knows.
class TaskDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::PropertyAdded
        | EventFlag::PropertyChanged | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered;

    // With no tasks the dialog adds a card, starting from the presets (the last preset of a
    // property wins), the links and the image index (-1 for none); with tasks it edits them,
    // and presets, links and image are not used. Only the scene's selection is touched: it
    // is cleared before a card is added. The scene may be null.
    TaskDialog(QWidget *parent, QGraphicsScene *cardsScene,
               const QList<PropertyIndexAndValue> &presets, const QList<TaskIndex> &tasks,
               const QList<HyperLink> &links = {}, int imageIndex = -1);
    ~TaskDialog() override;

    // The card an accepted add created, else -1.
    TaskIndex createdTaskIndex() const { return m_createdTaskIndex; }

    QSize sizeHint() const override;

public slots:
    void accept() override;
    void onUpdatePreview(const QString &text);
    void onShowHelp();
    void onShowHideQuickAdd();
    void onAddProperty();
    void onAddLink();

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void onChangedDoc(const Events &events);

private:
    bool isAddMode() const { return m_tasks.isEmpty(); }
    void buildQuickAdd();
    void updateFieldLabels();
    QString quickAddExample();
    void updateTabOrder();
    // Shows a value quick add assigned in its field.
    void showPreviewValue(int property, const QString &value);
    // Each property's existing values in lower case (no empty text, predefined and default
    // values included), for bare quick-add values; listed when first needed, kept until the
    // plan changes.
    const QList<QSet<QString>> &knownLowerValues();

    Ui::TaskDialog *m_ui;
    QList<PropertyPreview> m_records;
    QGraphicsScene *m_cardsScene;
    ExpandingScrollArea *m_scrollArea;
    CardsEditScrollWidget *m_editor;
    QLabel *m_quickAddLabel = nullptr;
    DelayedEditLineEdit *m_quickAddEdit = nullptr;
    QToolButton *m_quickAddHelpButton = nullptr;
    QCheckBox *m_showQuickAddCheckBox = nullptr;
    TaskIndex m_createdTaskIndex = -1;
    QList<TaskIndex> m_tasks;

    // The last parse found terms: only then does an empty line reset the fields. Clicking
    // the grey example empties the line too, and must not undo what the user typed into
    // the fields meanwhile.
    bool m_lastRunHadTerms = false;
    QList<QSet<QString>> m_knownLowerValues;
    bool m_knownValuesValid = false;
};
