#pragma once

#include "leftpane/LeftPaneWidget.h"
#include "model/Events.h"

#include <QList>

namespace Ui {
class CardsColorLayoutWidget;
}
class CardsScene;
class QComboBox;
class QToolButton;

// The "Layout/Color" section of the Cards left pane: the properties that make the columns,
// rows, in-cell order, card colour, highlight and total of the current view, the cell totals
// and the row or column colouring. Each choice is one undoable edit of the plan; the section
// shows the plan's choices again only from Document::changed. A property combo's index is the
// property's index, with "<select>" (none) at 0 and, in the total combo, "<cards>" (count the
// cards) at the property count.
//
// Listens to a whole plan, a view change and re-ordered properties (the combos are filled
// again), to properties added, renamed and deleted (their items follow), to layout settings
// made elsewhere (the choices are shown again; its own are shown already) and to the style.
class CardsColorLayoutWidget : public LeftPaneWidget
{
    Q_OBJECT

public:
    static constexpr EventMask listensTo = EventFlag::AllChanged | EventFlag::ViewChanged
        | EventFlag::PropertiesReordered | EventFlag::PropertyAdded | EventFlag::PropertyChanged
        | EventFlag::PropertyDeleted | EventFlag::CardsLayoutChanged | EventFlag::UiStyleChanged;

    CardsColorLayoutWidget(QWidget *parent, CardsScene *scene);
    ~CardsColorLayoutWidget() override;

    // The anchor of the first layout tip, which the main window offers.
    QComboBox *xPropertyCombo() const;

public slots:
    void giveFocus() override;
    void onChangedDoc(const Events &events);
    // Swaps X and Y; the main window's transpose action calls it.
    void onTranspose();

private slots:
    void onXPropertyChanged(int index);
    void onYPropertyChanged(int index);
    void onInCellPropertyChanged(int index);
    void onBgColorPropertyChanged(int index);
    void onHighlightColorPropertyChanged(int index);
    void onTotalPropertyChanged(int index);
    void onTotalInCellsChanged();
    void onBgXYColorChanged(int index);
    void onXPropertyEdit();
    void onYPropertyEdit();
    void onInCellPropertyEdit();
    void onBgColorPropertyEdit();
    void onHighlightColorPropertyEdit();
    void onTotalPropertyEdit();
    void onBgXYColorEdit();
    void onUpdateButtonStatus();
    void onUpdateBgXYColorButtonStatus();

private:
    void reload();
    // Selects the plan's choices in the combos as they are, without filling them again.
    void showChoices();
    void addProperty(int property);
    void removeProperty(int property);
    void setIcons() override;
    void editProperty(int property, int page);
    // Marks the tip of the control just used and offers the next one of the chain.
    void continueTips(const QString &usedKey, bool offerNext, QWidget *anchor,
                      const QString &nextKey, const QString &title, const QString &text);

    Ui::CardsColorLayoutWidget *m_ui;
    CardsScene *m_scene;
    // X, Y, in-cell, card colour, highlight, total.
    QList<QComboBox *> m_propertyCombos;
    // X, Y, in-cell, card colour, highlight, total, row/column colour.
    QList<QToolButton *> m_editButtons;
};
