#include "cardedit/ExpandingScrollArea.h"

ExpandingScrollArea::ExpandingScrollArea(QWidget *parent) : QScrollArea(parent) { }

QSize ExpandingScrollArea::sizeHint() const
{
    if (QWidget *content = widget())
        return content->sizeHint();
    return QScrollArea::sizeHint();
}
