#include "common/LongTextDelegate.h"

#include "common/DialogHelpers.h"

QWidget *LongTextDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        allowLongText(editor);
    return editor;
}
