#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QVector>

class Document;

// What every card of the current view shows and how: read once from the plan per layout or
// repaint, so that painting ten thousand cards does not walk the property list for each one.
// CardsScene keeps it; CardItem paints from it and from its own card's values.
struct CardFace
{
    struct Row
    {
        int property = 0;
        // The PropertyVisibility code: a marker shape, or plain, bold or italic text.
        int visibility = 0;
        QString name;
    };

    // Fills every field from the plan's current view and Cards appearance.
    void read(const Document &doc);

    // Properties shown as markers and as text rows, from property 1 in property order.
    QVector<Row> markers;
    QVector<Row> textRows;
    double width = 507.0;
    int highlightProperty = 0;
    bool showNotes = false;
    bool showLinks = false;
    bool showLabels = false;
    bool showImages = false;
    int imagePosition = 0;
    int imageSize = 1;
    bool dropShadow = false;
    int shape = 0;
    int gradient = 0;
    QFont font;
    int fontScaling = 0;
    int fontSize = 0;
    QColor selectionColor;
};
