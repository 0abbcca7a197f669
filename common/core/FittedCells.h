#pragma once

#include <QImage>
#include <QSize>
#include <QVector>

// A picture summed, as its decoder delivers its rows, into the cells of the smaller picture it is
// fitted to: each cell comes out as the mean of the pixels that fall in it, so that no copy of the
// whole picture is ever held, whatever its depth. Where the two sizes are equal, each pixel is
// its own cell and is kept as it comes. Used by the decoders that read their pictures themselves.
class FittedCells
{
public:
    // Pixels never added take uncovered (premultiplied), as the decoder would leave them.
    FittedCells(const QSize &source, const QSize &fitted, QRgb uncovered);

    // False where the memory could not be had.
    bool isValid() const { return m_valid; }
    // Adds count premultiplied pixels of row y of the source, the first at column x, each step
    // columns after the one before. Each pixel is added once at most.
    void add(int x, int y, const QRgb *pixels, int count, int step = 1);
    // Adds count pixels whose premultiplied channels (blue, green, red, alpha) add up to sums and
    // that lie in the cell of column x, row y: where each pixel is its own cell, one pixel.
    void addSums(int x, int y, const quint64 *sums, qint64 count)
    {
        if (!m_summing || count <= 0 || y < 0 || y >= m_source.height() || x < 0
            || x >= m_source.width()) {
            addToWhole(x, y, sums, count);
            return;
        }
        Cell &cell = m_cells[m_rowCells[y] * m_fitted.width() + m_columnCells[x]];
        for (int channel = 0; channel < 4; ++channel)
            cell.channels[channel] += sums[channel];
        cell.count += quint64(count);
    }
    // Row y of the picture, where each pixel is its own cell, for a decoder to write its pixels
    // (premultiplied) into, each once at most; null where pixels are summed.
    QRgb *wholeLine(int y)
    {
        return m_summing || !m_valid || y < 0 || y >= m_source.height()
            ? nullptr
            : reinterpret_cast<QRgb *>(m_wholeBits + qint64(y) * m_wholeBytesPerLine);
    }
    // The first column of the source that falls in the next cell after that of column x: the end
    // of the run of columns that share x's cell.
    int cellEnd(int x) const { return m_summing ? m_cellEnds[m_columnCells[x]] : x + 1; }

    // The fitted picture, premultiplied with alpha or opaque, taken once: a picture that is its own
    // cells leaves with it, uncopied.
    QImage takePicture(bool alpha);

private:
    struct Cell
    {
        quint64 channels[4] = {0, 0, 0, 0}; // blue, green, red, alpha, as a QRgb holds them
        quint64 count = 0;
    };

    qint64 cellArea(int column, int row) const;
    void addToWhole(int x, int y, const quint64 *sums, qint64 count);

    const QSize m_source;
    const QSize m_fitted;
    const QRgb m_uncovered;
    bool m_valid = false;
    // Pixels are summed into cells, rather than kept in the picture itself.
    bool m_summing = false;
    QImage m_whole;
    uchar *m_wholeBits = nullptr;
    qint64 m_wholeBytesPerLine = 0;
    QVector<Cell> m_cells;
    // The cell of each column and row of the source, and the first column of each cell's next:
    // worked out once, as a division for every pixel would cost more than the sums.
    QVector<int> m_columnCells;
    QVector<int> m_rowCells;
    QVector<int> m_cellEnds;
};
