#pragma once

#include <QString>

class QFont;
class QPainter;
class QRectF;

// How drawFittedText chooses the font size of a header text.
enum FittedTextMode {
    FittedTextFixed = 0, // the caller's pixel size, elided when too long
    FittedTextScaled = 1, // shrunk until the text fits, never elided
    FittedTextIntelligent = 2 // derived from the reference size and the painter's scale, elided
};

// Draws text into a rectangle with a font size chosen by the mode, eliding it when it
// does not fit. The font receives the pixel size used and the text the elided form.
// Used by the card painting for column and row headers, also rotated for row headers.
void drawFittedText(QPainter *painter, const QRectF &rect, int fontSizeMode, int fixedPixelSize,
                    double referenceSize, QFont &font, int flags, QString &text, bool rotated);

// The pixel size drawFittedText draws with in the fixed and intelligent modes, for the same
// arguments; 0 in the other modes, which choose no size in advance.
int fittedTextPixelSize(QPainter *painter, const QRectF &rect, int fontSizeMode, int fixedPixelSize,
                        double referenceSize, bool rotated);

// The largest pixel size, at most the given one, at which one line of the font is no taller
// than the height on the painter's device; at least 1.
int pixelSizeForLineHeight(QPainter *painter, QFont font, int pixelSize, double height);
