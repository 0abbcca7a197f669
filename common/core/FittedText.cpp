#include "common/core/FittedText.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>

namespace {

const QChar ellipsis(0x2026);

bool within(const QRectF &needed, const QRectF &area)
{
    return needed.width() <= area.width() && needed.height() <= area.height();
}

bool fits(QPainter *painter, const QRectF &area, int flags, const QString &text)
{
    return within(painter->boundingRect(area, flags, text), area);
}

void applyPixelSize(QPainter *painter, QFont &font, int pixelSize)
{
    // QFont ignores sizes below 1 with a warning and keeps the old one, which
    // would leave the loops below measuring a font that never shrinks.
    font.setPixelSize(std::max(1, pixelSize));
    painter->setFont(font);
}

// Shrinks the font in a few widening steps until the text fits; the step grows so
// that ten rounds reach even a text far too large for the rectangle.
void scaleToFit(QPainter *painter, const QRectF &area, int flags, const QString &text, QFont &font)
{
    int pixelSize = std::max(1, int(area.height() * 0.95));
    applyPixelSize(painter, font, pixelSize);
    double step = 1.05;
    for (int round = 0; round < 10 && pixelSize > 1; ++round, step += 0.05) {
        const QRectF needed = painter->boundingRect(area, flags, text);
        const double widthRatio = needed.width() / area.width();
        const double heightRatio = needed.height() / area.height();
        const double factor = widthRatio > 1 && heightRatio > 1
            ? std::max(step, std::min(widthRatio, heightRatio))
            : std::min(step, std::max(widthRatio, heightRatio));
        if (!(factor > 1))
            break;
        int next = int(pixelSize / factor);
        if (next == pixelSize)
            --next;
        pixelSize = std::max(1, next);
        applyPixelSize(painter, font, pixelSize);
    }
}

int intelligentPixelSize(QPainter *painter, const QRectF &area, double referenceSize)
{
    const QPaintDevice *device = painter->device();
    if (!device || device->logicalDpiY() <= 0)
        return std::max(1, int(area.height() / 3));
    const double scale = painter->worldTransform().m22();
    double k = scale * 25.1 * referenceSize / device->logicalDpiY() * 0.125 + 1.0;
    k = std::min(10.0, std::max(2.5, k));
    return std::max(10, int(referenceSize / k));
}

// How many characters of a text that needed the rectangle "needed" probably fit the area: by
// the share of its lines that fit, or of its width when it overflows sideways.
int estimateFitting(QPainter *painter, int length, const QRectF &needed, const QRectF &area)
{
    double share = 1.0;
    const double line = QFontMetricsF(painter->font()).height();
    if (needed.height() > area.height() && line > 0) {
        const double lines = std::max(1.0, std::round(needed.height() / line));
        share = std::min(share, std::floor(area.height() / line) / lines);
    }
    if (needed.width() > area.width())
        share = std::min(share, area.width() / needed.width());
    return int(length * share) - 1;
}

// Cuts the text from the end until it fits: the text itself when it fits, else the longest
// start of it followed by the ellipsis that fits, else the ellipsis alone (a rectangle lower
// than one line never fits anything). The longer a start, the less it fits, so the longest one
// is searched for, from an estimate, rather than cut one character per text layout: that took
// minutes on a value of tens of thousands of characters.
void elideToFit(QPainter *painter, const QRectF &area, int flags, QString &text)
{
    const int length = text.size();
    // A start that does not fit rules out every longer one, so a long text is laid out only as
    // far as the rectangle could show it: starts of doubling length, then the whole text.
    int measured = length;
    QRectF needed;
    for (int start = 64; start < length; start *= 2) {
        needed = painter->boundingRect(area, flags, text.left(start));
        if (!within(needed, area)) {
            measured = start;
            break;
        }
    }
    if (measured == length) {
        needed = painter->boundingRect(area, flags, text);
        if (within(needed, area))
            return;
    }
    // A candidate keeps k characters before the ellipsis, at most two fewer than the text and
    // fewer than the start that did not fit. Keeping none leaves the ellipsis alone, which is
    // also what remains when nothing fits.
    const auto fitsWith
        = [&](int kept) { return fits(painter, area, flags, text.left(kept) + ellipsis); };
    int fitting = 0;
    int failing = std::min(measured, length - 1);
    const int guess
        = std::min(failing - 1, std::max(1, estimateFitting(painter, measured, needed, area)));
    // Away from the estimate in doubling steps, then by bisection between the last two tries:
    // a good estimate costs two or three layouts, a poor one O(log n).
    if (guess > fitting && fitsWith(guess)) {
        fitting = guess;
        for (int step = 1; fitting + step < failing; step *= 2) {
            if (!fitsWith(fitting + step)) {
                failing = fitting + step;
                break;
            }
            fitting += step;
        }
    } else if (guess > fitting) {
        failing = guess;
        for (int step = 1; failing - step > fitting; step *= 2) {
            if (fitsWith(failing - step)) {
                fitting = failing - step;
                break;
            }
            failing -= step;
        }
    }
    while (failing - fitting > 1) {
        const int middle = fitting + (failing - fitting) / 2;
        if (fitsWith(middle))
            fitting = middle;
        else
            failing = middle;
    }
    text = text.left(fitting) + ellipsis;
}

// A rectangle lower than one line of the font shows nothing but the ellipsis, as no text fits
// it. Under two device pixels high the ellipsis is a faint dot, not worth the text layouts that
// find and draw it: a picture of thousands of cards, each with dozens of such rows, spent
// seconds on them.
bool showsOnlyAFaintEllipsis(QPainter *painter, const QRectF &area)
{
    const double line = QFontMetricsF(painter->font()).height();
    if (line <= area.height())
        return false;
    const double scale = std::sqrt(std::abs(painter->worldTransform().determinant()));
    return line * scale < 2.0;
}

// The rectangle the text is laid out in: turned a quarter for a rotated text.
QRectF workingArea(const QRectF &rect, bool rotated)
{
    QRectF area = rect;
    if (rotated) {
        area.setSize(rect.size().transposed());
        area.moveCenter(rect.center());
    }
    return area;
}

} // namespace

int fittedTextPixelSize(QPainter *painter, const QRectF &rect, int fontSizeMode, int fixedPixelSize,
                        double referenceSize, bool rotated)
{
    if (fontSizeMode == FittedTextFixed)
        return fixedPixelSize;
    if (fontSizeMode == FittedTextIntelligent && painter)
        return intelligentPixelSize(painter, workingArea(rect, rotated), referenceSize);
    return 0;
}

int pixelSizeForLineHeight(QPainter *painter, QFont font, int pixelSize, double height)
{
    QPaintDevice *device = painter ? painter->device() : nullptr;
    const auto lineAt = [&font, device](int size) {
        font.setPixelSize(size);
        return device ? QFontMetricsF(font, device).height() : QFontMetricsF(font).height();
    };
    const int largest = std::max(1, pixelSize);
    const double line = lineAt(largest);
    if (line <= height)
        return largest;
    // Lines grow about in step with the size: one guess, then a step or two either way.
    int size = std::max(1, std::min(largest - 1, int(largest * height / line)));
    while (size > 1 && lineAt(size) > height)
        --size;
    while (size + 1 < largest && lineAt(size + 1) <= height)
        ++size;
    return size;
}

void drawFittedText(QPainter *painter, const QRectF &rect, int fontSizeMode, int fixedPixelSize,
                    double referenceSize, QFont &font, int flags, QString &text, bool rotated)
{
    if (!painter || text.isEmpty())
        return;
    painter->save();
    const QRectF area = workingArea(rect, rotated);
    switch (fontSizeMode) {
    case FittedTextFixed:
    case FittedTextIntelligent:
        applyPixelSize(painter, font,
                       fittedTextPixelSize(painter, rect, fontSizeMode, fixedPixelSize,
                                           referenceSize, rotated));
        if (showsOnlyAFaintEllipsis(painter, area)) {
            text = ellipsis;
            painter->restore();
            return;
        }
        elideToFit(painter, area, flags, text);
        break;
    case FittedTextScaled:
        scaleToFit(painter, area, flags, text, font);
        break;
    default:
        break;
    }
    if (rotated) {
        painter->translate(area.center());
        painter->rotate(-90);
        painter->translate(-area.center());
    }
    painter->drawText(area, flags, text);
    painter->restore();
}
