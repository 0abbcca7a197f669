#pragma once

#include <QTableWidget>

class MouseWheelEventFilter;

// The list of the Show Properties section: row i stands for property i, so the row is the
// property index (row 0, the "<select>" placeholder, exists but stays hidden), and each row
// holds a combo of how that property shows on the cards. The combo lists the text styles
// first, then the coloured symbols, then "Hide", which is not the order of the stored codes.
class CardsPropertiesTable : public QTableWidget
{
    Q_OBJECT

public:
    explicit CardsPropertiesTable(QWidget *parent = nullptr);

    // A combo index outside the list (also -1, nothing chosen) means text; a code outside the
    // known ones shows the first item.
    static int comboIndexToVisibility(int index);
    static int visibilityToComboIndex(int visibility);
    // Empty for an unknown code.
    static QString visibilityName(int visibility);

    // Appends the row of a property, its combo showing the current view's choice; filling the
    // combo reports nothing.
    void addPropertyRow(int propertyIndex);
    void setPropertyName(int propertyIndex);
    void removePropertyRow(int row);
    // Every row's combo shows the current view's choice again, reporting nothing.
    void showVisibilities();

    // As tall as its rows, within 30 to 240 pixels.
    QSize sizeHint() const override;

signals:
    void propertyVisibilityChanged(int row, int visibility);

public slots:
    void onComboIndexChanged(int index);

private:
    MouseWheelEventFilter *m_wheelFilter;
};
