#include "common/core/Colors.h"

#include "common/core/UiStyle.h"

#include <QPainter>
#include <QStringList>
#include <QtMath>

QColor contrastingTextColor(const QColor &background, bool soft)
{
    const int luminance
        = 299 * background.red() + 587 * background.green() + 114 * background.blue();
    const bool dark = luminance < 128000;
    if (soft)
        return dark ? QColor(208, 208, 208) : QColor(64, 64, 64);
    return dark ? QColor(Qt::white) : QColor(Qt::black);
}

QString colorToString(const QColor &color)
{
    if (!color.isValid())
        return QString();
    return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

QColor stringToColor(const QString &text)
{
    if (text.isEmpty())
        return QColor();
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return QColor();
    // A part that is no number counts as 0; components outside 0..255 leave the colour
    // invalid, so setRgb's own warning is avoided by checking the range first.
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int component = parts.at(i).toInt(&ok, 10);
        rgb[i] = ok ? component : 0;
        if (rgb[i] < 0 || rgb[i] > 255)
            return QColor();
    }
    QColor color;
    color.setRgb(rgb[0], rgb[1], rgb[2], 255);
    return color;
}

QBrush cardBrush(const QRectF &rect, const QColor &color, int gradient)
{
    if (gradient < 1)
        return QBrush(color);
    return QBrush(cardGradient(rect, color, gradient));
}

QLinearGradient cardGradient(const QRectF &rect, const QColor &color, int gradient)
{
    const double cx = rect.left() + rect.width() / 2;
    QLinearGradient result(QPointF(cx - rect.width() / 5, rect.top()),
                           QPointF(cx + rect.width() / 5, rect.top() + rect.height()));
    result.setColorAt(0.0, color.lighter(100 + gradient));
    result.setColorAt(1.0, color.lighter(100 - gradient));
    return result;
}

namespace {

// The corners of a star or polygon: count points at angle steps of step, alternating
// between the outer and inner radius, centred on the rectangle's centre.
QPolygonF markerPolygon(const QRectF &rect, int count, double step, bool alternate)
{
    QPolygonF polygon;
    if (count < 1)
        return polygon;
    const QPointF centre(rect.left() + rect.width() / 2, rect.top() + rect.height() / 2);
    const double outer = qMin(rect.width() / 2, rect.height() / 2);
    const double inner = outer / 2;
    for (int i = 0; i < count; ++i) {
        const double angle = i * step;
        const double radius = (alternate && i % 2 == 1) ? inner : outer;
        polygon << QPointF(centre.x() + qSin(angle) * radius, centre.y() - qCos(angle) * radius);
    }
    polygon.translate(centre - polygon.boundingRect().center());
    return polygon;
}

} // namespace

QPolygonF starPolygon(const QRectF &rect, int points)
{
    if (points < 1)
        return QPolygonF();
    return markerPolygon(rect, 2 * points, 3.1412 / points, true);
}

QPolygonF regularPolygon(const QRectF &rect, int corners)
{
    if (corners < 1)
        return QPolygonF();
    return markerPolygon(rect, corners, 6.2824 / corners, false);
}

QColor accentColor(int uiStyle)
{
    return uiStyle == UiStyle::Dark ? QColor(61, 142, 201) : QColor(Qt::blue);
}

void fitToAspect(double &width, double &height, double aspect)
{
    const double ratio = width / height;
    if (ratio > aspect)
        width = height * aspect;
    else if (aspect > ratio)
        height = width / aspect;
}
