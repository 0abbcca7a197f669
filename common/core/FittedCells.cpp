#include "common/core/FittedCells.h"

#include <utility>

FittedCells::FittedCells(const QSize &source, const QSize &fitted, QRgb uncovered)
    : m_source(source), m_fitted(fitted), m_uncovered(uncovered)
{
    if (source.isEmpty() || fitted.isEmpty())
        return;
    if (source == fitted) {
        m_whole = QImage(source, QImage::Format_ARGB32_Premultiplied);
        if (!m_whole.isNull()) {
            m_whole.fill(uncovered);
            m_wholeBits = m_whole.bits();
            m_wholeBytesPerLine = m_whole.bytesPerLine();
        }
        m_valid = !m_whole.isNull();
    } else {
        m_valid = m_summing = true;
        m_cells.resize(fitted.width() * fitted.height());
        m_columnCells.resize(source.width());
        for (int x = 0; x < source.width(); ++x)
            m_columnCells[x] = int(qint64(x) * fitted.width() / source.width());
        m_rowCells.resize(source.height());
        for (int y = 0; y < source.height(); ++y)
            m_rowCells[y] = int(qint64(y) * fitted.height() / source.height());
        m_cellEnds.resize(fitted.width());
        for (int cell = 0; cell < fitted.width(); ++cell) {
            // The least column c with c * fitted >= (cell + 1) * source.
            m_cellEnds[cell] = int(qMin<qint64>(
                ((cell + 1) * qint64(source.width()) + fitted.width() - 1) / fitted.width(),
                source.width()));
        }
    }
}

void FittedCells::add(int x, int y, const QRgb *pixels, int count, int step)
{
    if (!isValid() || x < 0 || y < 0 || y >= m_source.height())
        return;
    if (!m_summing) {
        QRgb *line = wholeLine(y);
        for (int i = 0; i < count && x < m_source.width(); ++i, x += step)
            line[x] = pixels[i];
        return;
    }
    Cell *row = m_cells.data() + qint64(m_rowCells.at(y)) * m_fitted.width();
    const int *columns = m_columnCells.constData();
    count = qMin(count, (m_source.width() - x + step - 1) / step);
    for (int i = 0; i < count; ++i, x += step) {
        Cell &cell = row[columns[x]];
        const QRgb pixel = pixels[i];
        cell.channels[0] += pixel & 0xff;
        cell.channels[1] += (pixel >> 8) & 0xff;
        cell.channels[2] += (pixel >> 16) & 0xff;
        cell.channels[3] += pixel >> 24;
        ++cell.count;
    }
}

void FittedCells::addToWhole(int x, int y, const quint64 *sums, qint64 count)
{
    if (!isValid() || m_summing || count <= 0 || y < 0 || y >= m_source.height() || x < 0
        || x >= m_source.width())
        return;
    QRgb pixel = 0;
    for (int channel = 0; channel < 4; ++channel)
        pixel |= QRgb((sums[channel] + quint64(count) / 2) / quint64(count)) << (8 * channel);
    wholeLine(y)[x] = pixel;
}

qint64 FittedCells::cellArea(int column, int row) const
{
    const auto first
        = [](qint64 cell, int source, int fitted) { return (cell * source + fitted - 1) / fitted; };
    const qint64 across = first(column + 1, m_source.width(), m_fitted.width())
        - first(column, m_source.width(), m_fitted.width());
    const qint64 down = first(row + 1, m_source.height(), m_fitted.height())
        - first(row, m_source.height(), m_fitted.height());
    return across * down;
}

QImage FittedCells::takePicture(bool alpha)
{
    QImage image;
    if (!m_valid)
        return image;
    if (!m_summing) {
        image = std::move(m_whole);
        m_valid = false;
    } else {
        image = QImage(m_fitted, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull())
            return image;
        for (int row = 0; row < m_fitted.height(); ++row) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
            for (int column = 0; column < m_fitted.width(); ++column) {
                const Cell &cell = m_cells.at(row * m_fitted.width() + column);
                const qint64 area = qMax<qint64>(cellArea(column, row), 1);
                // A pixel added more than once may not make a cell brighter than it can be.
                const quint64 added = qMin<quint64>(cell.count, quint64(area));
                const quint64 left = quint64(area) - added;
                QRgb pixel = 0;
                for (int channel = 0; channel < 4; ++channel) {
                    const quint64 given = cell.count > quint64(area)
                        ? quint64(double(cell.channels[channel]) / cell.count * area)
                        : cell.channels[channel];
                    const quint64 sum = given + left * ((m_uncovered >> (8 * channel)) & 0xff);
                    pixel |= QRgb((sum + quint64(area) / 2) / quint64(area)) << (8 * channel);
                }
                line[column] = pixel;
            }
        }
    }
    // Every pixel of an opaque picture was written with all its alpha: its bits are those of one
    // without alpha.
    if (!alpha)
        image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}
