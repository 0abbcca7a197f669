#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QColor>
#include <QList>
#include <QPair>
#include <QString>

class Document;

// The colour legend of the Charts pane: a swatch and a name for each value of the By
// property as the bars show it, in value order. The rows and their widest text are read from the
// plan by build(), which the scene calls once per rebuild; a resize only moves the item. The
// colours of the text, lines and swatches' gradient are read when painting.
class ChartsLegendItem : public QAbstractGraphicsShapeItem
{
public:
    explicit ChartsLegendItem(Document *document);

    void build();
    const QList<QPair<QString, QColor>> &rows() const { return m_rows; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;

private:
    Document *m_document;
    QList<QPair<QString, QColor>> m_rows;
    int m_textWidth = 0;
    // A plan without cards shows no legend; kept with the rows, as the size must not change
    // without notice.
    bool m_hasCards = false;
};
