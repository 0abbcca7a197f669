#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

// Draws each cell of a list of colours as the swatch a ColorButton shows, and reports a click
// on it as a ColorButton does: pressed, the swatch looks pressed, and the release reports the
// row wherever it happens. The property dialog's colour list holds a row per value, tens of
// thousands on a large plan, and a widget per row would cost that many widgets to build, lay
// out and keep; an item and this one delegate cost next to nothing per row.
class ColorSwatchDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // The colour of a cell is its data under this role.
    static constexpr int ColorRole = Qt::UserRole;

    // Paints and takes the mouse for the view's cells.
    explicit ColorSwatchDelegate(QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

signals:
    void clicked(const QModelIndex &index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractItemView *m_view;
    QWidget *m_viewport;
    // The cell under a mouse button held down, shown pressed until the release.
    QPersistentModelIndex m_pressed;
};
