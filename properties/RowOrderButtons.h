#pragma once

#include <QList>
#include <QObject>
#include <QVector>

class QAbstractButton;
class QTableWidget;

// The top, up, down, bottom and sort-by-name buttons beside a one-column list to be put in
// order: they move the selected rows as a block and are enabled only where a move can go.
// The property dialog's order page and the property order dialog both put their lists in
// order through it.
class RowOrderButtons : public QObject
{
    Q_OBJECT

public:
    // Gives the four move buttons their arrows and connects all five and the table's
    // selection; the table and buttons must outlive this object (make it their dialog's child).
    RowOrderButtons(QTableWidget *table, QAbstractButton *top, QAbstractButton *up,
                    QAbstractButton *down, QAbstractButton *bottom, QAbstractButton *sortByName,
                    QObject *parent);

    // Selects exactly these rows; rows outside the table are passed over.
    void selectRows(const QList<int> &rows);

public slots:
    void onUpdateButtons();

private slots:
    void onMoveTop();
    void onMoveUp();
    void onMoveDown();
    void onMoveBottom();
    void onSortByName();

private:
    // Puts the rows in the order given: row i takes the item of row order[i].
    void arrange(const QVector<int> &order);
    QVector<int> unchangedOrder() const;
    // The rows of the table that are not among rows (ascending), in order.
    QVector<int> otherRows(const QList<int> &rows) const;

    QTableWidget *m_table;
    QAbstractButton *m_top;
    QAbstractButton *m_up;
    QAbstractButton *m_down;
    QAbstractButton *m_bottom;
};
