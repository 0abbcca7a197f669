#include "cards/CardItem.h"
#include "cards/CardsLayouter.h"
#include "cards/CardsScene.h"
#include "cards/CardsView.h"
#include "common/core/FileHelpers.h"
#include "common/core/FittedText.h"
#include "common/core/NumberDateText.h"
#include "common/widgets/FullScreenHint.h"
#include "model/Document.h"

#include <algorithm>

#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

namespace {

const int gridLineWidth = 6;
// Beyond its rectangle a line or outline reaches half its width; the lookups take a little more.
const double slack = gridLineWidth;
// Headers and the lens read the card height as the unit of the grid.
const double cardHeight = CardItem::Height;

// The columns or rows [first, last) whose extent meets [low, high], found by binary search in
// the axis's prefix sums, so that painting a small exposed area of a large grid visits only
// what lies in it.
struct IndexRange
{
    int first = 0;
    int last = 0;
};

IndexRange meeting(const CardsLayouter::Axis &axis, double low, double high)
{
    const int n = std::min(axis.spans.size(), axis.labels.size());
    if (n <= 0 || axis.starts.size() != axis.spans.size() + 1 || high < low)
        return {};
    const auto begin = axis.starts.constBegin();
    const auto ends = std::lower_bound(begin + 1, begin + 1 + n, low, [](qint64 end, double value) {
        return double(end) < value;
    });
    const auto starts = std::upper_bound(
        begin, begin + n, high, [](double value, qint64 start) { return value < double(start); });
    IndexRange range;
    range.first = int(ends - (begin + 1));
    range.last = std::max(range.first, int(starts - begin));
    return range;
}

QLinearGradient bandGradient(const QRectF &rect, Qt::Orientation direction, const QColor &color,
                             int percent)
{
    QLinearGradient gradient = direction == Qt::Horizontal
        ? QLinearGradient(rect.left(), rect.center().y(), rect.right(), rect.center().y())
        : QLinearGradient(rect.center().x(), rect.top(), rect.center().x(), rect.bottom());
    gradient.setColorAt(0, color.lighter(100 + percent));
    gradient.setColorAt(1, color.lighter(100 - percent));
    return gradient;
}

QColor withAlpha(QColor color, double opacity)
{
    color.setAlphaF(std::clamp(opacity, 0.0, 1.0));
    return color;
}

} // namespace

// Background: grid, colouring, fixed headers and lines

void CardsView::drawBackground(QPainter *painter, const QRectF &rect)
{
    GraphicsView::drawBackground(painter, rect);
    Document &doc = *document();
    const CardsLayouter::Axis &columns = m_scene->layouter().columns();
    const CardsLayouter::Axis &rows = m_scene->layouter().rows();
    const int totalWidth = columns.total;
    const int totalHeight = rows.total;
    const int xProperty = doc.xProperty();
    const int yProperty = doc.yProperty();
    const IndexRange shownColumns = meeting(columns, rect.left() - slack, rect.right() + slack);
    const IndexRange shownRows = meeting(rows, rect.top() - slack, rect.bottom() + slack);

    painter->save();
    const QPen linePen(doc.cardsLineColor(), gridLineWidth);
    painter->setPen(linePen);
    painter->setBrush(QBrush(doc.cardBackgroundColor()));
    if (totalWidth > 0 && totalHeight > 0)
        painter->drawRect(QRectF(0, 0, totalWidth, totalHeight));

    const int gradient = doc.cardsGradient();
    const int colouring = doc.rowColColor();
    if (colouring == RowColColor::Rows && yProperty > 0) {
        for (int i = shownRows.first; i < std::min(shownRows.last, rows.values.size()); ++i) {
            if (rows.spans.at(i) <= 0)
                continue;
            const QRectF band(0, rows.startOf(i), totalWidth, rows.spans.at(i));
            const QColor color = doc.colorForValue(yProperty, rows.values.at(i));
            painter->setBrush(bandGradient(band, Qt::Vertical, color, gradient));
            painter->drawRect(band);
        }
    } else if (colouring == RowColColor::Columns && xProperty > 0) {
        for (int i = shownColumns.first; i < std::min(shownColumns.last, columns.values.size());
             ++i) {
            if (columns.spans.at(i) <= 0)
                continue;
            const QRectF band(columns.startOf(i), 0, columns.spans.at(i), totalHeight);
            const QColor color = doc.colorForValue(xProperty, columns.values.at(i));
            painter->setBrush(bandGradient(band, Qt::Horizontal, color, gradient));
            painter->drawRect(band);
        }
    }

    // Floating headers are drawn over the cards while the view is scrolled past them.
    const int headerSize = doc.cardsHeaderSize();
    const QPointF corner = mapToScene(QPoint(0, 0));
    const bool floating = doc.cardsHeaderType() == HeaderType::Floating;
    if (!floating || corner.x() <= -headerSize)
        drawRowHeaders(painter, rect, 1.0, corner.x(), false);
    if (!floating || corner.y() <= -headerSize)
        drawColumnHeaders(painter, rect, 1.0, corner.y(), false);

    painter->setPen(linePen);
    if (yProperty > 0) {
        for (int i = shownRows.first; i < shownRows.last; ++i) {
            if (rows.spans.at(i) <= 0)
                continue;
            const int y = int(rows.startOf(i + 1));
            painter->drawLine(0, y, totalWidth, y);
        }
    }
    if (xProperty > 0) {
        for (int i = shownColumns.first; i < shownColumns.last; ++i) {
            if (columns.spans.at(i) <= 0)
                continue;
            const int x = int(columns.startOf(i + 1));
            painter->drawLine(x, 0, x, totalHeight);
        }
    }
    painter->restore();
}

// Foreground: totals and floating headers

void CardsView::drawForeground(QPainter *painter, const QRectF &rect)
{
    GraphicsView::drawForeground(painter, rect);
    const Document &doc = *document();
    painter->save();
    if (doc.totalProperty() >= 1)
        drawTotals(painter, rect);
    if (doc.cardsHeaderType() == HeaderType::Floating) {
        const QPointF corner = mapToScene(QPoint(0, 0));
        const double opacity = (100 - doc.cardsHeaderTransparency()) / 100.0;
        const int headerSize = doc.cardsHeaderSize();
        if (corner.x() > -headerSize)
            drawRowHeaders(painter, rect, opacity, corner.x(), true);
        if (corner.y() > -headerSize)
            drawColumnHeaders(painter, rect, opacity, corner.y(), true);
    }
    painter->restore();
}

void CardsView::drawTotals(QPainter *painter, const QRectF &exposed)
{
    const Document &doc = *document();
    const CardsLayouter::Axis &columns = m_scene->layouter().columns();
    const CardsLayouter::Axis &rows = m_scene->layouter().rows();
    const double side = doc.limitedCardWidth();
    const double totalWidth = columns.total;
    const double totalHeight = rows.total;
    const bool bothAxes = doc.xProperty() > 0 && doc.yProperty() > 0;
    const IndexRange shownColumns
        = meeting(columns, exposed.left() - slack, exposed.right() + slack);
    const IndexRange shownRows = meeting(rows, exposed.top() - slack, exposed.bottom() + slack);
    const QRectF reach = exposed.adjusted(-slack, -slack, slack, slack);
    painter->setPen(Qt::white);
    painter->setBrush(Qt::darkGray);

    if (doc.showCellsTotals() && bothAxes && columns.count() > 0) {
        for (int c = shownColumns.first; c < shownColumns.last; ++c) {
            if (columns.spans.at(c) <= 0)
                continue;
            for (int r = shownRows.first; r < shownRows.last; ++r) {
                if (rows.spans.at(r) > 0)
                    drawTotal(painter,
                              QRectF(columns.startOf(c), rows.startOf(r), columns.spans.at(c),
                                     rows.spans.at(r)),
                              c, r, true);
            }
        }
    }
    if (reach.intersects(QRectF(0, totalHeight, std::max(totalWidth, 1.0), side))) {
        for (int c = shownColumns.first; c < shownColumns.last; ++c) {
            if (columns.spans.at(c) > 0)
                drawTotal(painter,
                          QRectF(columns.startOf(c), totalHeight, columns.spans.at(c), side), c, -1,
                          false);
        }
    }
    if (reach.intersects(QRectF(totalWidth, 0, side, std::max(totalHeight, 1.0)))) {
        for (int r = shownRows.first; r < shownRows.last; ++r) {
            if (rows.spans.at(r) > 0)
                drawTotal(painter, QRectF(totalWidth, rows.startOf(r), side, rows.spans.at(r)), -1,
                          r, false);
        }
    }
    const QRectF grand(totalWidth, totalHeight, side, side);
    if (bothAxes && reach.intersects(grand))
        drawTotal(painter, grand, -1, -1, false);
}

QString CardsView::totalText(int column, int row) const
{
    const Document &doc = *document();
    const int property = doc.totalProperty();
    if (property == doc.propertyCount()) {
        const int count = int(m_scene->numericTotal(column, row));
        return count != 0 ? QString::number(count) : QString();
    }
    if (property >= doc.propertyCount())
        return QString();
    const ActualPropertyType type = doc.actualPropertyType(property);
    if (type == ActualType::Numeric) {
        const double total = m_scene->numericTotal(column, row);
        return fuzzyEqual(total, 0.0) ? QString() : numberToString(total, doc.valueFormats());
    }
    if (type != ActualType::Text && type != ActualType::Date)
        return QString();
    const CardsLayouter::TextTotals counts = m_scene->textTotals(column, row);
    QStringList lines;
    // Filled in one go: a value holding "%2" must stay as it is, not take the count's place.
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        lines.append(QStringLiteral("%1: %2").arg(it.key().isEmpty() ? tr("<Empty>") : it.key(),
                                                  QString::number(it.value())));
    return lines.join(QLatin1Char('\n'));
}

void CardsView::drawTotal(QPainter *painter, const QRectF &area, int column, int row, bool cell)
{
    const Document &doc = *document();
    const QString text = totalText(column, row);
    if (text.isEmpty())
        return;

    const int side = int(0.95 * doc.limitedCardWidth());
    QRectF badge(0, 0, side, side);
    badge.moveCenter(area.center());
    painter->setOpacity(cell ? 0.8 : 1.0);
    painter->drawRoundedRect(badge, 15, 15, Qt::RelativeSize);

    QFont font = painter->font();
    font.setWeight(75);
    int pixelSize = std::max(1, side / 3);
    font.setPixelSize(pixelSize);
    painter->setFont(font);
    painter->setOpacity(cell ? 0.9 : 1.0);
    const QRectF inner = badge.adjusted(0.05 * side, 0.05 * side, -0.05 * side, -0.05 * side);
    const QRectF bounds = painter->boundingRect(inner, Qt::AlignCenter, text);
    double factor = 1.0;
    if (bounds.width() > inner.width())
        factor = inner.width() / bounds.width();
    if (bounds.height() > inner.height())
        factor = std::min(factor, inner.height() / bounds.height());
    if (factor < 1.0) {
        pixelSize = std::max(1, int(pixelSize * factor));
        font.setPixelSize(pixelSize);
        painter->setFont(font);
    }
    painter->drawText(badge, Qt::AlignCenter, text);
    painter->setOpacity(1.0);
}

// Header bands

void CardsView::drawRowHeaders(QPainter *painter, const QRectF &exposed, double opacity,
                               double viewEdge, bool floating)
{
    drawHeaders(painter, exposed, Qt::Vertical, opacity, viewEdge, floating);
}

void CardsView::drawColumnHeaders(QPainter *painter, const QRectF &exposed, double opacity,
                                  double viewEdge, bool floating)
{
    drawHeaders(painter, exposed, Qt::Horizontal, opacity, viewEdge, floating);
}

void CardsView::drawHeaders(QPainter *painter, const QRectF &exposed, Qt::Orientation stacking,
                            double opacity, double viewEdge, bool floating)
{
    Document &doc = *document();
    // Row headers stand stacked down the left of the grid, column headers side by side above it.
    const bool rows = stacking == Qt::Vertical;
    const int property = rows ? doc.yProperty() : doc.xProperty();
    if (property < 1)
        return;
    const CardsLayouter::Axis &axis
        = rows ? m_scene->layouter().rows() : m_scene->layouter().columns();
    const double headerSize = doc.cardsHeaderSize();
    const bool showName = doc.cardsHeadersShowName();
    const double band = showName ? headerSize * 0.5 : headerSize;
    // Across the band: from the grid's edge outwards, or pinned to the view's edge.
    double across = -headerSize;
    if (floating && viewEdge > -band)
        across = viewEdge - (showName ? headerSize * 0.5 : 0.0);
    const double used = floating ? opacity : 1.0;
    const double depth = showName ? 2 * band : band;
    const double low = rows ? exposed.left() : exposed.top();
    const double high = rows ? exposed.right() : exposed.bottom();
    if (across + depth + slack < low || across - slack > high)
        return;
    const auto cell = [&](double along, double length) {
        return rows ? QRectF(across, along, band, length) : QRectF(along, across, length, band);
    };
    const bool rotate = rows && doc.cardsRowHeaderTextOrientation() != 0;
    const Qt::Orientation gradient = rows ? Qt::Horizontal : Qt::Vertical;
    if (showName) {
        drawHeaderCell(painter, cell(0, axis.total), doc.propertyName(property), doc.headerColor(),
                       false, rotate, gradient, used);
        across += band;
    }
    const PropertyAppearance &appearance = doc.propertyAppearanceRef(property);
    const bool daily = doc.actualPropertyType(property) == ActualType::Date
        && appearance.dateBinSize() == DateBinUnit::Day;
    const IndexRange shown = rows ? meeting(axis, exposed.top() - slack, exposed.bottom() + slack)
                                  : meeting(axis, exposed.left() - slack, exposed.right() + slack);
    for (int i = shown.first; i < shown.last; ++i) {
        if (axis.spans.at(i) <= 0)
            continue;
        const QColor color
            = i == axis.today ? appearance.colorForDate(DateBucket::Today) : doc.headerColor();
        const bool underline = daily && isWeekend(axis.values.value(i), doc.valueFormats());
        drawHeaderCell(painter, cell(axis.startOf(i), axis.spans.at(i)), axis.labels.at(i), color,
                       underline, rotate, gradient, used);
    }
}

void CardsView::drawHeaderCell(QPainter *painter, const QRectF &rect, QString text,
                               const QColor &color, bool underline, bool rotate,
                               Qt::Orientation gradient, double opacity)
{
    const Document &doc = *document();
    painter->save();
    const QColor fill = withAlpha(color, opacity);
    const int percent = doc.cardsGradient();
    if (percent < 1)
        painter->setBrush(fill);
    else
        painter->setBrush(bandGradient(rect, gradient, fill, percent));
    painter->setPen(QPen(withAlpha(doc.cardsLineColor(), opacity), gridLineWidth));
    painter->drawRect(rect);

    const double headerSize = doc.cardsHeaderSize();
    const double inset = headerSize / 40;
    const QRectF textRect = rect.adjusted(inset, inset, -inset, -inset);
    QFont font = painter->font();
    font.setWeight(75);
    font.setUnderline(underline);
    font.setFamily(doc.cardFont().family());
    painter->setPen(withAlpha(doc.headerTextColor(), opacity));
    // With the property's name shown beside them, each band is half a header deep, and its font
    // follows the band: a line of a font chosen for the whole header would not fit it, and
    // every heading would be cut to the ellipsis. Made small enough before any eliding, a
    // heading is cut only where it is too long for its band.
    const bool halfBand = doc.cardsHeadersShowName();
    const double band = halfBand ? headerSize * 0.5 : headerSize;
    const int largest = std::min({int(band), int(cardHeight), int(doc.scaledCardWidth() / 2.5)});
    int mode = doc.headerFontScaling();
    int pixelSize = doc.headerFontSize();
    if (halfBand && (mode == FittedTextFixed || mode == FittedTextIntelligent)) {
        pixelSize = pixelSizeForLineHeight(
            painter, font, fittedTextPixelSize(painter, textRect, mode, pixelSize, largest, rotate),
            band - 2 * inset);
        mode = FittedTextFixed;
    }
    drawFittedText(painter, textRect, mode, pixelSize, largest, font,
                   Qt::AlignCenter | Qt::TextWordWrap, text, rotate);
    painter->restore();
}

// The paint event: lens, hints and the full-screen note over the scene

void CardsView::paintEvent(QPaintEvent *event)
{
    GraphicsView::paintEvent(event);
    if (m_magnify && m_pointerInside) {
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        drawLens(&painter);
    }
    const QString hint = hintText();
    if (!hint.isEmpty()) {
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        drawCenteredMessage(&painter, hint);
    }
    if (isFullScreenExitMessageShown())
        drawFullScreenHint(this);
}

QString CardsView::hintText() const
{
    const Document &doc = *document();
    const int cards = doc.taskCount();
    if (cards > 0) {
        // The last layout knows which cards passed the filter; asking the plan would test every
        // card at every paint.
        const CardsLayouter &layout = m_scene->layouter();
        const bool allHidden = layout.placements().size() == cards ? layout.cells().isEmpty()
                                                                   : doc.allTasksFilteredOut();
        if (!allHidden)
            return QString();
        return tr("%1 %2 hidden by filtering").arg(cards).arg(cards < 2 ? tr("card") : tr("cards"));
    }
    QString text = doc.propertyCount() > 1 ? tr("Add cards") : tr("Add cards and properties");
    const QString folder = dataFolder(false);
    if (!folder.isEmpty() && QDir(folder).exists())
        text += tr("\nor open a sample from:\n'%1'").arg(QDir::toNativeSeparators(folder));
    return text;
}

// The magnifier

QRect CardsView::centredRect(const QPoint &center, int width, int height)
{
    return QRect(center.x() - width / 2, center.y() - height / 2, width, height);
}

void CardsView::drawLens(QPainter *painter)
{
    const double aspect = document()->scaledCardWidth() / cardHeight;
    int height = std::min(300, viewport()->height());
    int width = int(height * aspect);
    if (width > viewport()->width()) {
        width = viewport()->width();
        height = int(width / aspect);
    }
    if (width < 1 || height < 1)
        return;
    // A whole card with a tenth to spare fills the lens, never less than twice enlarged.
    double magnification = height / (cardHeight * 1.1);
    const double scale = currentScale();
    if (scale < 1.0 && scale > 0.001)
        magnification /= scale;
    magnification = std::max(2.0, magnification);
    const QRect source = centredRect(m_pointerPosition, qRound(width / magnification),
                                     qRound(height / magnification));
    const int radius = height / 20;
    const QSize size(width, height);
    if (m_lensMask.isNull() || m_lensMask.size() != size) {
        m_lensMask = QBitmap(size);
        m_lensMask.fill(Qt::color0);
        QPainter mask(&m_lensMask);
        mask.setPen(Qt::NoPen);
        mask.setBrush(Qt::color1);
        mask.drawRoundedRect(QRect(QPoint(0, 0), size), radius, radius);
    }
    if (m_lensPixmap.isNull() || m_lensPixmap.size() != size)
        m_lensPixmap = QPixmap(size);
    {
        QPainter lens(&m_lensPixmap);
        lens.setRenderHint(QPainter::Antialiasing);
        render(&lens, QRectF(QPointF(0, 0), size), source, Qt::KeepAspectRatio);
    }
    m_lensPixmap.setMask(m_lensMask);
    const QRect target(m_pointerPosition.x() - width / 2, m_pointerPosition.y() - height / 2, width,
                       height);
    painter->drawPixmap(target, m_lensPixmap);
    painter->setPen(Qt::gray);
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(target, radius, radius);
}

void CardsView::clearMagnifierCache()
{
    m_lensMask = QBitmap();
    m_lensPixmap = QPixmap();
}

QRect CardsView::lensArea(const QPoint &pointer) const
{
    // Never narrower than a card or lower than 300 pixels, so it covers the whole lens.
    const int width = int(document()->scaledCardWidth() + 2);
    return QRect(pointer.x() - width / 2, pointer.y() - 196, width, 392);
}

void CardsView::updateLensArea(const QPoint &pointer)
{
    if (m_magnify)
        viewport()->update(lensArea(pointer));
}

void CardsView::onMagnifyUnderCursor(bool on)
{
    clearMagnifierCache();
    if (on == m_magnify)
        return;
    m_magnify = on;
    viewport()->update();
}

void CardsView::onRedrawMagnify()
{
    m_lensPixmap = QPixmap();
    viewport()->update();
}

void CardsView::enterEvent(QEvent *event)
{
    GraphicsView::enterEvent(event);
    m_pointerInside = true;
    updateLensArea(m_pointerPosition);
}

void CardsView::leaveEvent(QEvent *event)
{
    GraphicsView::leaveEvent(event);
    m_pointerInside = false;
    updateLensArea(m_pointerPosition);
    restoreCursor();
    m_scene->deleteAddCardItem();
}

void CardsView::scrollContentsBy(int dx, int dy)
{
    GraphicsView::scrollContentsBy(dx, dy);
    m_scene->hideAddCardItem();
    // Floating headers follow the view's edge.
    if (m_magnify || document()->cardsHeaderType() != HeaderType::Fixed)
        viewport()->update();
}
