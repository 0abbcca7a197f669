#include "common/widgets/LongTextDelegate.h"

#include "common/widgets/DialogHelpers.h"

QWidget *LongTextDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        allowLongText(editor);
    return editor;
}
