#pragma once

#include <QTableWidgetItem>

// A table cell that sorts numbers by value and dates by date, the rest as text, compared pair
// by pair: two numbers by value, else two dates by day, else the texts by character codes. So
// 9 sorts before 10, and a column mixing numbers with words or empty cells falls back to text
// order for those pairs. That is no strict weak order (9 < 10 < "1a" < 9), so only a stable
// sort that tolerates it may use it: Qt's own.
//
// Sorting compares each cell many times, so the number and the date a text stands for are read
// once and kept until the cell's data or the user's number or date format changes.
class SmartSortTableWidgetItem : public QTableWidgetItem
{
public:
    explicit SmartSortTableWidgetItem(const QString &text, int type = Type);
    ~SmartSortTableWidgetItem() override;

    bool operator<(const QTableWidgetItem &other) const override;
    void setData(int role, const QVariant &value) override;
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
};
