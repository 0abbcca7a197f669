#pragma once

#include <QStyledItemDelegate>

// The item delegate of the tables that show plan values (the Table, the Properties tab, the
// property dialog's value lists): its line editors take text of any length, so opening a
// cell that holds a long value and leaving it does not store the value cut short.
class LongTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
