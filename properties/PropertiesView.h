#pragma once

#include "model/Events.h"
#include "table/BaseTableView.h"

#include <functional>

#include <QList>

class QComboBox;
class QPushButton;

// The Properties tab: one row per property of the user's, where a property is renamed, retyped,
// given a default value, moved up or down in the property order, or opened in the property
// dialog. Every change is one undoable plan edit; the table follows the plan only through
// onChangedDoc, which the main window connects.
//
// Listens to a whole plan and to properties added, deleted and re-ordered, which add, remove or
// move its rows (rebuildsOn), and to a property renamed, retyped or given another default, and
// the style's pictures, which change rows in place (changesInPlaceOn).
class PropertiesView : public BaseTableView
{
    Q_OBJECT

public:
    static constexpr EventMask rebuildsOn = EventFlag::AllChanged | EventFlag::PropertyAdded
        | EventFlag::PropertyDeleted | EventFlag::PropertiesReordered;
    static constexpr EventMask changesInPlaceOn
        = EventFlag::PropertyChanged | EventFlag::UiStyleChanged;
    static constexpr EventMask listensTo = rebuildsOn | changesInPlaceOn;

    explicit PropertiesView(QWidget *parent = nullptr);

    // The properties of the rows selected across all columns, ascending.
    QList<int> selectedPropertyIndexes() const;

    using BaseTableView::commitOpenEditor;
    // Enters the open editor's text as commitOpenEditor() does. Its questions (a name the table
    // refuses, stored views to rename) are put only when mayAsk() lets the user be asked, which
    // it is called for only when a question would come; otherwise a refused name is put back
    // and the stored views keep their names, without a word.
    void commitOpenEditor(const std::function<bool()> &mayAsk);

public slots:
    void onChangedDoc(const Events &events);

private slots:
    void onCellChanged(int row, int column);
    void onEditClicked();
    void onTypeChanged();
    void onTopClicked();
    void onUpClicked();
    void onDownClicked();
    void onBottomClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    enum Column {
        NameColumn = 0,
        TypeColumn,
        DefaultColumn,
        TopColumn,
        UpColumn,
        DownColumn,
        BottomColumn,
        EditColumn,
        ColumnCount
    };
    // What every row shows alike, the button icons and the default value's tool tip, made once
    // for all the rows of a rebuild.
    struct RowParts;

    static int propertyOfRow(int row) { return row + 1; }
    static int rowOfProperty(int property) { return property - 1; }

    void rebuild();
    void addPropertyRow(int property, const RowParts &parts);
    void updatePropertyRow(int property);
    void removePropertyRow(int property);
    void reloadIcons();
    void updateMoveButtons();
    QPushButton *addButton(int row, int column, const QIcon &icon, QList<QPushButton *> &list,
                           void (PropertiesView::*onClicked)());
    void renameProperty(int property, const QString &name);
    enum class Move { ToFirst, Up, Down, ToLast };
    // Exchanges the sending button's property with the one the move names, as one undoable
    // re-order. The plan's notification rebuilds the table inside the call.
    void moveProperty(const QList<QPushButton *> &buttons, Move move);
    // Shows the text in a cell without it counting as the user's edit.
    void setCellText(int row, int column, const QString &text);
    bool mayAsk() const { return !m_mayAsk || m_mayAsk(); }

    QList<QComboBox *> m_typeCombos;
    QList<QPushButton *> m_topButtons;
    QList<QPushButton *> m_upButtons;
    QList<QPushButton *> m_downButtons;
    QList<QPushButton *> m_bottomButtons;
    QList<QPushButton *> m_editButtons;
    // Set while a cell edit is handled: its messages take the focus from the editor, which may
    // then commit its text again.
    bool m_handlingCellChange = false;
    // Set while commitOpenEditor(mayAsk) enters the editor's text: whether the user may be
    // asked. Unset, the user is there.
    std::function<bool()> m_mayAsk;
};
