#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

class Document;

// One column of the Cards legend: a property's name, how its key symbol is drawn (the card
// colour, the highlight strip or the PropertyVisibility code of a marker shape) and its values
// with their colours.
struct LegendColumn
{
    // Key symbols besides the marker shapes, whose codes (2 to 6) they do not overlap.
    enum : int { CardColorStyle = 0, HighlightStyle = 1 };

    QString title;
    int style = CardColorStyle;
    QList<QPair<QString, QColor>> entries;
};

// The legend of the Cards pane: for the card-colour property, the highlight property and each
// property shown as a marker, a column of values with a colour swatch each. CardsScene creates
// it, clears it at every layout that shows it and places it below or right of the grid; the item
// itself only knows its own size, top-left at its origin. The columns and the size are built on
// first need after a clear and kept until the next one: between two layouts they do not follow
// the plan.
class CardsLegendItem : public QAbstractGraphicsShapeItem
{
public:
    explicit CardsLegendItem(Document *document);

    void clear();
    const QList<LegendColumn> &columns() const;
    LegendColumn makeColumn(int property, int style) const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    void build() const;
    bool isEmptyPlan() const;

    Document *m_document;
    // Built lazily from the plan; the bounding rectangle is asked for on every repaint and
    // hit test, so it is measured once per build.
    mutable bool m_built = false;
    mutable QList<LegendColumn> m_columns;
    mutable QList<int> m_columnWidths;
    mutable QRectF m_bounds;
};
