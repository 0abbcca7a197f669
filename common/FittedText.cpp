#include "common/FittedText.h"

#include <algorithm>

#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>

namespace {

const QChar ellipsis(0x2026);

bool fits(QPainter *painter, const QRectF &area, int flags, const QString &text)
{
    const QRectF needed = painter->boundingRect(area, flags, text);
    return needed.width() <= area.width() && needed.height() <= area.height();
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

// Cuts the text from the end until it fits. A rectangle lower than one line never
// fits anything, so the loop ends once only the ellipsis is left.
void elideToFit(QPainter *painter, const QRectF &area, int flags, QString &text)
{
    bool cut = false;
    while (!fits(painter, area, flags, text) && text != QString(ellipsis)) {
        if (text.size() < 2)
            text = ellipsis;
        else if (cut)
            text.remove(text.size() - 2, 1);
        else
            text = text.left(text.size() - 2) + ellipsis;
        cut = true;
    }
}

} // namespace

void drawFittedText(QPainter *painter, const QRectF &rect, int fontSizeMode, int fixedPixelSize,
                    double referenceSize, QFont &font, int flags, QString &text, bool rotated)
{
    if (!painter || text.isEmpty())
        return;
    painter->save();
    QRectF area = rect;
    if (rotated) {
        area.setSize(rect.size().transposed());
        area.moveCenter(rect.center());
    }
    switch (fontSizeMode) {
    case FittedTextFixed:
        applyPixelSize(painter, font, fixedPixelSize);
        elideToFit(painter, area, flags, text);
        break;
    case FittedTextScaled:
        scaleToFit(painter, area, flags, text, font);
        break;
    case FittedTextIntelligent:
        applyPixelSize(painter, font, intelligentPixelSize(painter, area, referenceSize));
        elideToFit(painter, area, flags, text);
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
