#pragma once

#include <QBrush>
#include <QTableWidgetItem>

// A table cell that sorts numbers by value and dates by date, the rest as text, compared pair
// by pair: two numbers by value, else two dates by day, else the texts by character codes. So
// 9 sorts before 10, and a column mixing numbers with words or empty cells falls back to text
// order for those pairs. That is no strict weak order (9 < 10 < "1a" < 9), so only a stable
// sort that tolerates it may use it: Qt's own.
//
// Sorting compares each cell many times, so the number and the date a text stands for are read
// once and kept until the cell's data or the user's number or date format changes.
//
// The colours the table gives a cell are kept here too and read as the cell's background and
// foreground. Setting them through the item's data would report each cell to the table, which
// after a sort first searches the whole table for the cell: colouring every cell would take
// minutes. Colouring this way reports nothing; the table repaints after it.
class SmartSortTableWidgetItem : public QTableWidgetItem
{
public:
    explicit SmartSortTableWidgetItem(const QString &text, int type = Type);
    ~SmartSortTableWidgetItem() override;

    bool operator<(const QTableWidgetItem &other) const override;
    QVariant data(int role) const override;
    void setData(int role, const QVariant &value) override;
    // An empty brush (no brush style) leaves that colour to the item's data, the default.
    void setColors(const QBrush &background, const QBrush &foreground);
    // The prototype of cells the table creates itself.
    QTableWidgetItem *clone() const override;

private:
    // Reads the text as a number under the current formats, once per text and formats.
    bool number(double *value) const;
    bool date(qint64 *julianDay) const;
    void parse(bool withDate) const;

    // What the text reads as, under the formats m_formats stands for (0: not read yet).
    mutable double m_number = 0.0;
    mutable qint64 m_julianDay = 0;
    mutable quint8 m_formats = 0;
    mutable quint8 m_flags = 0;
    QBrush m_background;
    QBrush m_foreground;
};
