#pragma once

#include "model/Document.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QRectF>
#include <QStringList>
#include <QVector>

// The arithmetic of the Cards grid, kept apart from any scene or item so that it can be tested
// and timed alone: it bins the cards of a plan into columns and rows, sizes them in cards and in
// scene units, places each card in its cell, sums the totals and answers which column, row,
// cell or header lies at a point. Values in, rectangles out. CardsScene holds one and hands its
// results to the items; everything here is replaced by the next layout.
class CardsLayouter
{
public:
    using Cell = QPair<int, int>;
    // Cards of each cell that pass the filter, ascending; a card whose value finds no column or
    // row is kept under index -1, which no size, place or total visits.
    using CellMap = QMap<Cell, QList<TaskIndex>>;
    using TextTotals = QMap<QString, int>;

    // One axis of the grid: columns from the X property or rows from the Y property.
    struct Axis
    {
        int property = 0;
        ActualPropertyType type = ActualType::Text;
        QList<Document::NumericBin> numericBins;
        QList<Document::DateBin> dateBins;
        QStringList labels;
        // What a card placed in that column or row receives.
        QStringList values;
        // The date bin that holds today, -1 when none.
        int today = -1;
        // Size of each column or row in cards, then in scene units; 0 for a collapsed one.
        QVector<int> cards;
        QVector<int> spans;
        // starts[i] is the sum of the spans before i; one entry more than there are spans.
        QVector<qint64> starts;
        int total = 0;

        int count() const { return labels.size(); }
        // The first column or row of non-zero span whose [start + margin, end - margin] holds
        // the coordinate, -1 when none.
        int indexAt(double coordinate, double margin) const;
        // The sum of the spans before the index (the whole total past the end).
        double startOf(int index) const;
        int shownCount() const;
    };

    // Where one card went at the last binning and layout.
    struct Placement
    {
        Cell cell {-1, -1};
        bool passesFilter = true;
        // Only cards that pass the filter and lie in a shown cell get a target.
        bool placed = false;
        QPointF target;
    };

    // Bins, sizes and places the cards and sums the totals.
    void layout(const Document &doc);
    // Recomputes both axes and the cell map (also the placements' cells and filter results).
    const CellMap &bin(const Document &doc);
    // The totals of the current cell map.
    void calculateTotals(const Document &doc);

    const CellMap &cells() const { return m_cells; }
    // A cell's cards in the in-cell order of the last layout.
    QList<TaskIndex> orderedCell(int column, int row) const;
    const Axis &columns() const { return m_columns; }
    const Axis &rows() const { return m_rows; }
    const QVector<Placement> &placements() const { return m_placements; }
    double cardWidth() const { return m_cardWidth; }

    // Whether the other layout has the same columns, rows and totals: what is painted around
    // the cards.
    bool sameGrid(const CardsLayouter &other) const;

    // The values a card created in or dropped on that cell receives; the placeholder property 0
    // never yields one.
    QList<PropertyIndexAndValue> cellPresets(int column, int row) const;

    // Totals: (column, row) a cell, (-1, row) a row, (column, -1) a column, (-1, -1) the grid.
    double numericTotal(int column, int row) const { return m_numericTotals.value({column, row}); }
    TextTotals textTotals(int column, int row) const { return m_textTotals.value({column, row}); }

    // Geometry of the last layout, in scene units.
    QRectF columnRect(int column, bool withHeader) const;
    QRectF rowRect(int row, bool withHeader) const;
    bool cellAt(const QPointF &point, int *column, int *row, QRectF *rect, double margin) const;
    bool headerAt(const QPointF &point, bool *isColumnHeader, bool *isRowHeader, int *index) const;
    bool columnAt(bool clampOutside, bool nearestBoundary, int *index, double x) const;
    bool rowAt(bool clampOutside, bool nearestBoundary, int *index, double y) const;
    // The coordinate of the column or row boundary nearest to the point, for an insert line.
    double insertBoundary(const Axis &axis, double coordinate) const;

    // The grid of n cards inside one cell for a cell layout (0 wide grid, 1 tall grid, 2 row,
    // 3 column).
    static void cellGridSize(int n, int cellLayout, int *columns, int *rows);
    // Refit the sizes counted in cards after the grid rule, so that cells of other rows or
    // columns take no more room than they need.
    static void fitRowHeights(const CellMap &cells, const QVector<int> &columnCards,
                              QVector<int> &rowCards);
    static void fitColumnWidths(const CellMap &cells, QVector<int> &columnCards,
                                const QVector<int> &rowCards);

private:
    void binAxis(const Document &doc, int property, Axis &axis) const;
    int indexOnAxis(const Document &doc, const Axis &axis, const QHash<QString, int> &labelIndex,
                    const QString &value) const;
    void sizeInCards(const Document &doc);
    void keepPredefinedValues(const Document &doc, Axis &axis) const;
    void sizeInUnits();
    void orderCells(const Document &doc);
    void place(const Document &doc);
    bool axisAt(const Axis &axis, bool clampOutside, bool nearestBoundary, int *index,
                double coordinate) const;

    Axis m_columns;
    Axis m_rows;
    CellMap m_cells;
    // Equal to m_cells unless the view orders the cards inside cells by a property.
    CellMap m_orderedCells;
    QVector<Placement> m_placements;
    QMap<Cell, TextTotals> m_textTotals;
    QMap<Cell, double> m_numericTotals;
    double m_cardWidth = 507.0;
    int m_headerSize = 0;
    int m_cellLayout = 0;
};
