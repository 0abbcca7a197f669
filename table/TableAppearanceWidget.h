#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class TableAppearanceWidget;
}

// The Table tab's Appearance section: the table's font, font size and cell colouring, stored
// in the plan as undoable changes. The colour list's entry index is the plan's colour setting:
// 0 "<off>", 1 "<all properties>", p + 1 whole rows by property p.
//
// Listens to a whole plan, the Table appearance and re-ordered properties (the controls show
// the plan again), to properties added, renamed and deleted (the colour list follows) and to
// the style.
class TableAppearanceWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::TableAppearanceChanged
        | EventFlag::PropertiesReordered | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::UiStyleChanged;

    explicit TableAppearanceWidget(QWidget *parent = nullptr);
    ~TableAppearanceWidget() override;

public slots:
    void onChangedDoc(const Events &events);
    void onFontFamilyChanged();
    void onFontSizeChanged();
    void onColorComboChanged();
    void onColorPropertyEdit();
    void onDefaultClicked();
    void giveFocus() override;

private:
    // Shows the plan's settings; stores nothing, so a refresh never adds an undo step.
    void updateFromDocument();
    void updateEditButton();
    void setIcons() override;

    Ui::TableAppearanceWidget *m_ui;
};
