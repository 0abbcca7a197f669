#pragma once

#include "cards/CardFace.h"

#include <functional>
#include <optional>

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QVarLengthArray>

class QPainter;
class QRectF;
class QTransform;

// Draws one card from plain values into any painter: what every card of the view shows (the
// CardFace) and what this card holds (a Card). CardItem paints with it on screen, in prints
// and in exports, which draw the scene's items; tests paint with it alone. Lengths are item
// units, the card's top-left corner at the painter's origin; the painter's transform scales
// them and chooses how much detail is worth drawing.
class CardPainter
{
public:
    static constexpr double Height = 390.0;
    // Below this many device pixels high a card is painted as a plain patch of its colour.
    static constexpr double TinyPixels = 3.0;

    // One card's own values.
    struct Card
    {
        double width = 507.0;
        QColor background;
        QColor highlight;
        bool selected = false;
        // The overlay icons take the corners of the marker band.
        bool iconCorners = false;
        bool notes = false;
        bool links = false;
        // One colour per marker of the face, in its order; held in place for the usual few, as
        // thousands of cards are painted at a time.
        QVarLengthArray<QColor, 8> markerColors;
        // The value shown in the face's text row of that place; without a function every row
        // is empty. Asked only for what is measured or drawn: a card of a large plan may hold
        // dozens of rows far too small to read.
        std::function<QString(int row)> text;
        // The card's picture of the image library, when it has one. An empty picture still
        // takes its share of the card when images are shown.
        std::optional<QPixmap> image;
    };

    explicit CardPainter(const CardFace &face) : m_face(face) { }

    // Whether a card under this transform is only a patch of its colour. A patch needs no more
    // of the card than its width, selection and background, so callers may leave the rest.
    static bool paintsPatch(const QTransform &transform);

    void paint(QPainter *painter, const Card &card) const;

    // A marker of a PropertyVisibility code from Square to Diamond, in the painter's pen and
    // brush; other codes draw nothing.
    static void drawMarker(QPainter *painter, const QRectF &rect, int visibility);

private:
    const CardFace &m_face;
};
