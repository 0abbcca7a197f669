#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

namespace Ui {
class TableAppearanceWidget;
}

// The Table tab's Appearance section: the table's font, font size and cell colouring, stored
// in the plan as undoable changes. The colour list's entry index is the plan's colour setting:
// 0 "<off>", 1 "<all properties>", p + 1 whole rows by property p.
class TableAppearanceWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
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

    Ui::TableAppearanceWidget *m_ui;
};
