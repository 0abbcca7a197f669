#include "cards/CardsLayouter.h"

#include "common/core/NumberDateText.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include <QHash>

namespace {

const double cardHeight = 390.0;

// Whole cards needed for n cards in lines of `per` (up() of the grid rules).
int up(int n, int per)
{
    return per > 0 ? (n + per - 1) / per : 0;
}

// Spans are ints, and a plan's sizes (an absurd aspect ratio, a cell of thousands of cards in one
// row) could add up beyond them; each span takes at most what is left below INT_MAX.
int saturatedSpan(double span, qint64 totalSoFar)
{
    const double room = double(INT_MAX - totalSoFar);
    if (!(span > 0.0))
        return 0;
    return int(std::min(std::trunc(span), room));
}

bool isValidCell(const CardsLayouter::Cell &cell, const CardsLayouter::Axis &columns,
                 const CardsLayouter::Axis &rows)
{
    return cell.first >= 0 && cell.second >= 0 && cell.first < columns.count()
        && cell.second < rows.count();
}

} // namespace

int CardsLayouter::Axis::indexAt(double coordinate, double margin) const
{
    const int n = spans.size();
    if (n == 0 || starts.size() != n + 1)
        return -1;
    // The first index whose end reaches the coordinate; zero spans share their start with the
    // next one and are stepped over, so a boundary never lands in a collapsed column.
    auto found = std::lower_bound(starts.constBegin() + 1, starts.constEnd(), coordinate,
                                  [](qint64 end, double value) { return double(end) < value; });
    int index = int(found - (starts.constBegin() + 1));
    while (index < n && spans.at(index) == 0)
        ++index;
    if (index >= n)
        return -1;
    const double start = double(starts.at(index));
    const double end = double(starts.at(index + 1));
    return start + margin <= coordinate && coordinate <= end - margin ? index : -1;
}

double CardsLayouter::Axis::startOf(int index) const
{
    if (index <= 0 || starts.isEmpty())
        return 0.0;
    return double(starts.at(std::min(index, int(starts.size()) - 1)));
}

int CardsLayouter::Axis::shownCount() const
{
    return int(std::count_if(spans.constBegin(), spans.constEnd(), [](int s) { return s > 0; }));
}

void CardsLayouter::layout(const Document &doc)
{
    bin(doc);
    m_cardWidth = doc.scaledCardWidth();
    m_headerSize = doc.cardsHeaderSize();
    m_cellLayout = doc.cardsCellLayout();
    sizeInCards(doc);
    sizeInUnits();
    orderCells(doc);
    place(doc);
    calculateTotals(doc);
}

void CardsLayouter::binAxis(const Document &doc, int property, Axis &axis) const
{
    axis = Axis();
    axis.property = property;
    // No property: one text column of the empty value, as long as there are cards.
    if (property <= 0) {
        if (doc.taskCount() > 0)
            axis.labels.append(QString());
        axis.values = axis.labels;
        return;
    }
    axis.type = doc.actualPropertyType(property);
    switch (axis.type) {
    case ActualType::Numeric:
        axis.numericBins = doc.numericBinsOfProperty(property);
        axis.labels = Document::numericBinNames(axis.numericBins);
        // Written so that the value reads back as the bound itself: six significant digits
        // would put 1234567 into another bin, and an exponent is no number in every locale.
        for (const Document::NumericBin &bin : qAsConst(axis.numericBins))
            axis.values.append(exactNumberToString(bin.first, doc.valueFormats()));
        break;
    case ActualType::Date:
        axis.dateBins = doc.dateBinsOfProperty(property);
        axis.labels = Document::dateBinNames(axis.dateBins);
        for (const Document::DateBin &bin : qAsConst(axis.dateBins))
            axis.values.append(dateToString(bin.first, doc.valueFormats().dateFormat, true));
        axis.today = Document::dateBinIndex(axis.dateBins, today());
        break;
    default:
        axis.type = ActualType::Text;
        axis.labels = doc.values(property);
        axis.values = axis.labels;
        break;
    }
}

int CardsLayouter::indexOnAxis(const Document &doc, const Axis &axis,
                               const QHash<QString, int> &labelIndex, const QString &value) const
{
    switch (axis.type) {
    case ActualType::Numeric:
        return Document::numericBinIndex(axis.numericBins,
                                         stringToNumber(value, doc.valueFormats(), true));
    case ActualType::Date: {
        const QDate date
            = value.trimmed().isEmpty() ? QDate() : stringToDate(value, doc.valueFormats());
        return Document::dateBinIndex(axis.dateBins, date);
    }
    default:
        return labelIndex.value(value, -1);
    }
}

const CardsLayouter::CellMap &CardsLayouter::bin(const Document &doc)
{
    binAxis(doc, doc.xProperty(), m_columns);
    binAxis(doc, doc.yProperty(), m_rows);
    // Labels by hash: a text axis of thousands of values must not be searched card by card.
    // The first of equal labels wins, as a search from the front would find.
    const auto indexOfLabels = [](const Axis &axis) {
        QHash<QString, int> index;
        if (axis.type != ActualType::Text)
            return index;
        index.reserve(axis.labels.size());
        for (int i = axis.labels.size() - 1; i >= 0; --i)
            index.insert(axis.labels.at(i), i);
        return index;
    };
    const QHash<QString, int> columnIndex = indexOfLabels(m_columns);
    const QHash<QString, int> rowIndex = indexOfLabels(m_rows);

    m_cells.clear();
    const int count = doc.taskCount();
    m_placements = QVector<Placement>(count);
    for (TaskIndex task = 0; task < count; ++task) {
        Placement &placement = m_placements[task];
        placement.cell.first
            = indexOnAxis(doc, m_columns, columnIndex, doc.value(task, m_columns.property));
        placement.cell.second
            = indexOnAxis(doc, m_rows, rowIndex, doc.value(task, m_rows.property));
        placement.passesFilter = doc.taskPassesFilter(task);
        if (placement.passesFilter)
            m_cells[placement.cell].append(task);
    }
    m_orderedCells = m_cells;
    return m_cells;
}

void CardsLayouter::cellGridSize(int n, int cellLayout, int *columns, int *rows)
{
    if (!columns || !rows)
        return;
    if (n < 1) {
        *columns = 0;
        *rows = 0;
        return;
    }
    switch (cellLayout) {
    case CellLayout::Row:
        *columns = n;
        *rows = 1;
        return;
    case CellLayout::Column:
        *columns = 1;
        *rows = n;
        return;
    default:
        break;
    }
    int side = int(std::sqrt(double(n)));
    while (side * side < n)
        ++side;
    const int other = up(n, side);
    if (cellLayout == CellLayout::TallGrid) {
        *rows = side;
        *columns = other;
    } else {
        *columns = side;
        *rows = other;
    }
}

void CardsLayouter::fitRowHeights(const CellMap &cells, const QVector<int> &columnCards,
                                  QVector<int> &rowCards)
{
    QVector<int> needed(rowCards.size(), 0);
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        const int column = it.key().first;
        const int row = it.key().second;
        if (column < 0 || row < 0 || column >= columnCards.size() || row >= rowCards.size())
            continue;
        const int width = columnCards.at(column);
        if (width > 0)
            needed[row] = std::max(needed.at(row), up(it.value().size(), width));
    }
    for (int row = 0; row < rowCards.size(); ++row) {
        if (rowCards.at(row) >= 2)
            rowCards[row] = needed.at(row);
    }
}

void CardsLayouter::fitColumnWidths(const CellMap &cells, QVector<int> &columnCards,
                                    const QVector<int> &rowCards)
{
    QVector<int> needed(columnCards.size(), 0);
    for (auto it = cells.constBegin(); it != cells.constEnd(); ++it) {
        const int column = it.key().first;
        const int row = it.key().second;
        if (column < 0 || row < 0 || column >= columnCards.size() || row >= rowCards.size())
            continue;
        const int height = rowCards.at(row);
        if (height > 0)
            needed[column] = std::max(needed.at(column), up(it.value().size(), height));
    }
    for (int column = 0; column < columnCards.size(); ++column) {
        if (columnCards.at(column) >= 2)
            columnCards[column] = needed.at(column);
    }
}

void CardsLayouter::sizeInCards(const Document &doc)
{
    m_columns.cards = QVector<int>(m_columns.count(), 0);
    m_rows.cards = QVector<int>(m_rows.count(), 0);
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it) {
        if (!isValidCell(it.key(), m_columns, m_rows))
            continue;
        int width = 0;
        int height = 0;
        cellGridSize(it.value().size(), m_cellLayout, &width, &height);
        int &column = m_columns.cards[it.key().first];
        int &row = m_rows.cards[it.key().second];
        column = std::max(column, width);
        row = std::max(row, height);
    }
    // Numeric and date axes may show their empty bins; text axes never force empty ones.
    for (Axis *axis : {&m_rows, &m_columns}) {
        if (axis->property > 0 && axis->type != ActualType::Text
            && doc.propertyAppearanceRef(axis->property).showEmpty()) {
            for (int &size : axis->cards)
                size = std::max(size, 1);
        }
    }
    if (m_cellLayout == CellLayout::WideGrid) {
        fitRowHeights(m_cells, m_columns.cards, m_rows.cards);
        fitColumnWidths(m_cells, m_columns.cards, m_rows.cards);
    } else if (m_cellLayout == CellLayout::TallGrid) {
        fitColumnWidths(m_cells, m_columns.cards, m_rows.cards);
        fitRowHeights(m_cells, m_columns.cards, m_rows.cards);
    }
    keepPredefinedValues(doc, m_rows);
    keepPredefinedValues(doc, m_columns);
}

void CardsLayouter::keepPredefinedValues(const Document &doc, Axis &axis) const
{
    if (axis.property <= 0)
        return;
    QStringList kept;
    for (const QString &value : doc.predefinedValues(axis.property)) {
        if (doc.valueMatchesFilterTerms(axis.property, value))
            kept.append(value);
    }
    const auto fallsOn = [&](const QString &value, int index) {
        switch (axis.type) {
        case ActualType::Numeric: {
            const Document::NumericBin &bin = axis.numericBins.at(index);
            const double number = stringToNumber(value, doc.valueFormats(), true);
            return bin.first <= number && number < bin.second;
        }
        case ActualType::Date: {
            const Document::DateBin &bin = axis.dateBins.at(index);
            const QDate date = stringToDate(value, doc.valueFormats());
            if (!date.isValid() || !bin.first.isValid())
                return !date.isValid() && !bin.first.isValid();
            return bin.first <= date && date <= bin.second;
        }
        default:
            return axis.labels.at(index) == value;
        }
    };
    for (int index = 0; index < axis.cards.size() && !kept.isEmpty(); ++index) {
        if (axis.cards.at(index) != 0)
            continue;
        for (int i = 0; i < kept.size(); ++i) {
            if (fallsOn(kept.at(i), index)) {
                axis.cards[index] = 1;
                kept.removeAt(i);
                break;
            }
        }
    }
}

void CardsLayouter::sizeInUnits()
{
    const auto convert = [](Axis &axis, double unit) {
        axis.spans = QVector<int>(axis.cards.size(), 0);
        axis.starts = QVector<qint64>(axis.cards.size() + 1, 0);
        qint64 total = 0;
        for (int i = 0; i < axis.cards.size(); ++i) {
            axis.spans[i] = saturatedSpan(axis.cards.at(i) * unit, total);
            total += axis.spans.at(i);
            axis.starts[i + 1] = total;
        }
        axis.total = int(total);
    };
    convert(m_rows, cardHeight);
    convert(m_columns, m_cardWidth);
}

void CardsLayouter::orderCells(const Document &doc)
{
    m_orderedCells = m_cells;
    const int property = doc.cellOrderingProperty();
    if (property <= 0)
        return;
    // One sort of every placed card; walking it cell by cell gives each cell its cards by key,
    // equal keys in ascending card order, as sorting each cell alone would.
    QList<TaskIndex> passing;
    for (TaskIndex task = 0; task < m_placements.size(); ++task) {
        if (m_placements.at(task).passesFilter)
            passing.append(task);
    }
    m_orderedCells.clear();
    for (TaskIndex task : doc.sortTasks(passing, property))
        m_orderedCells[m_placements.at(task).cell].append(task);
}

QList<TaskIndex> CardsLayouter::orderedCell(int column, int row) const
{
    return m_orderedCells.value({column, row});
}

void CardsLayouter::place(const Document &doc)
{
    Q_UNUSED(doc);
    for (auto it = m_orderedCells.constBegin(); it != m_orderedCells.constEnd(); ++it) {
        if (!isValidCell(it.key(), m_columns, m_rows))
            continue;
        const int column = it.key().first;
        const int row = it.key().second;
        const double x0 = m_columns.startOf(column);
        const double y0 = m_rows.startOf(row);
        const int perLine = std::max(1, m_columns.cards.at(column));
        const QList<TaskIndex> &tasks = it.value();
        for (int k = 0; k < tasks.size(); ++k) {
            int across = 0;
            int down = 0;
            if (m_cellLayout == CellLayout::Row) {
                across = k;
            } else if (m_cellLayout == CellLayout::Column) {
                down = k;
            } else {
                across = k % perLine;
                down = k / perLine;
            }
            Placement &placement = m_placements[tasks.at(k)];
            placement.placed = true;
            placement.target
                = QPointF(std::trunc(across * m_cardWidth) + x0, down * cardHeight + y0);
        }
    }
}

void CardsLayouter::calculateTotals(const Document &doc)
{
    m_numericTotals.clear();
    m_textTotals.clear();
    const int property = doc.totalProperty();
    if (property < 1 || property > doc.propertyCount())
        return;
    const bool countCards = property == doc.propertyCount();
    const bool numeric = !countCards && doc.actualPropertyType(property) == ActualType::Numeric;
    for (auto it = m_cells.constBegin(); it != m_cells.constEnd(); ++it) {
        if (!isValidCell(it.key(), m_columns, m_rows))
            continue;
        const int column = it.key().first;
        const int row = it.key().second;
        const Cell keys[] = {{column, row}, {-1, row}, {column, -1}, {-1, -1}};
        if (countCards || numeric) {
            double sum = 0.0;
            if (countCards) {
                sum = it.value().size();
            } else {
                for (TaskIndex task : it.value())
                    sum += stringToNumber(doc.value(task, property).trimmed(), doc.valueFormats(),
                                          true);
            }
            for (const Cell &key : keys)
                m_numericTotals[key] += sum;
            continue;
        }
        TextTotals counts;
        for (TaskIndex task : it.value())
            ++counts[doc.value(task, property).trimmed()];
        for (const Cell &key : keys) {
            TextTotals &totals = m_textTotals[key];
            for (auto count = counts.constBegin(); count != counts.constEnd(); ++count)
                totals[count.key()] += count.value();
        }
    }
}

bool CardsLayouter::sameGrid(const CardsLayouter &other) const
{
    const auto sameAxis = [](const Axis &a, const Axis &b) {
        return a.property == b.property && a.type == b.type && a.today == b.today
            && a.total == b.total && a.spans == b.spans && a.labels == b.labels
            && a.values == b.values;
    };
    return sameAxis(m_columns, other.m_columns) && sameAxis(m_rows, other.m_rows)
        && m_headerSize == other.m_headerSize && m_numericTotals == other.m_numericTotals
        && m_textTotals == other.m_textTotals;
}

QList<PropertyIndexAndValue> CardsLayouter::cellPresets(int column, int row) const
{
    QList<PropertyIndexAndValue> presets;
    if (column < 0 && row < 0)
        return presets;
    if (m_columns.property > 0 && column >= 0 && column < m_columns.values.size())
        presets.append({m_columns.property, m_columns.values.at(column)});
    if (m_rows.property > 0 && row >= 0 && row < m_rows.values.size())
        presets.append({m_rows.property, m_rows.values.at(row)});
    return presets;
}

QRectF CardsLayouter::columnRect(int column, bool withHeader) const
{
    if (column >= m_columns.count())
        return QRectF();
    const double top = withHeader && m_columns.property > 0 ? -m_headerSize : 0.0;
    const double left = column < 0 ? 0.0 : m_columns.startOf(column);
    const double width = column < 0 ? 0.0 : m_columns.spans.value(column);
    return QRectF(left, top, width, m_rows.total - top);
}

QRectF CardsLayouter::rowRect(int row, bool withHeader) const
{
    if (row >= m_rows.count())
        return QRectF();
    const double left = withHeader && m_rows.property > 0 ? -m_headerSize : 0.0;
    const double top = row < 0 ? 0.0 : m_rows.startOf(row);
    const double height = row < 0 ? 0.0 : m_rows.spans.value(row);
    return QRectF(left, top, m_columns.total - left, height);
}

bool CardsLayouter::cellAt(const QPointF &point, int *column, int *row, QRectF *rect,
                           double margin) const
{
    const int c = m_columns.indexAt(point.x(), margin);
    const int r = m_rows.indexAt(point.y(), margin);
    if (column)
        *column = c;
    if (row)
        *row = r;
    if (c < 0 || r < 0)
        return false;
    if (rect)
        *rect = QRectF(m_columns.startOf(c), m_rows.startOf(r), m_columns.spans.at(c),
                       m_rows.spans.at(r));
    return true;
}

bool CardsLayouter::headerAt(const QPointF &point, bool *isColumnHeader, bool *isRowHeader,
                             int *index) const
{
    if (isColumnHeader)
        *isColumnHeader = false;
    if (isRowHeader)
        *isRowHeader = false;
    if (index)
        *index = -1;
    const double x = point.x();
    const double y = point.y();
    int found = -1;
    bool column = false;
    if (m_columns.property > 0 && 0 <= x && x <= m_columns.total && -m_headerSize <= y && y <= 0) {
        found = m_columns.indexAt(x, 0.0);
        column = found >= 0;
    }
    if (found < 0 && m_rows.property > 0 && 0 <= y && y <= m_rows.total && -m_headerSize <= x
        && x <= 0)
        found = m_rows.indexAt(y, 0.0);
    // A band without a column or row under the point is no header: a press there must not
    // start a drag of a header that does not exist.
    if (found < 0)
        return false;
    if (isColumnHeader)
        *isColumnHeader = column;
    if (isRowHeader)
        *isRowHeader = !column;
    if (index)
        *index = found;
    return true;
}

bool CardsLayouter::axisAt(const Axis &axis, bool clampOutside, bool nearestBoundary, int *index,
                           double coordinate) const
{
    int found = -1;
    bool ok = false;
    if (coordinate < 0 && clampOutside) {
        found = 0;
        ok = true;
    } else {
        found = axis.indexAt(coordinate, 0.0);
        if (found >= 0) {
            if (nearestBoundary
                && coordinate > (axis.startOf(found) + axis.startOf(found + 1)) / 2.0)
                ++found;
            ok = true;
        } else if (clampOutside) {
            found = axis.count();
            ok = true;
        }
    }
    if (index)
        *index = found;
    return ok;
}

bool CardsLayouter::columnAt(bool clampOutside, bool nearestBoundary, int *index, double x) const
{
    return axisAt(m_columns, clampOutside, nearestBoundary, index, x);
}

bool CardsLayouter::rowAt(bool clampOutside, bool nearestBoundary, int *index, double y) const
{
    return axisAt(m_rows, clampOutside, nearestBoundary, index, y);
}

double CardsLayouter::insertBoundary(const Axis &axis, double coordinate) const
{
    if (coordinate < 0)
        return 0.0;
    int index = -1;
    axisAt(axis, true, true, &index, coordinate);
    return axis.startOf(index);
}
