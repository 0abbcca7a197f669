#include "properties/ColorSwatchDelegate.h"

#include "common/core/Colors.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFrame>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

ColorSwatchDelegate::ColorSwatchDelegate(QAbstractItemView *view)
    : QStyledItemDelegate(view), m_view(view), m_viewport(view->viewport())
{
    view->setItemDelegate(this);
    m_viewport->installEventFilter(this);
}

void ColorSwatchDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    const QVariant data = index.data(ColorRole);
    if (!data.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QColor color = data.value<QColor>();
    QPalette palette = option.palette;
    if (color.isValid()) {
        // The shades a style sheet's background colour gives a button's frame, and its text.
        const QColor solid = QColor(color.rgb());
        palette.setColor(QPalette::Window, solid);
        palette.setColor(QPalette::Light, solid.lighter(115));
        palette.setColor(QPalette::Midlight, solid.lighter(107));
        palette.setColor(QPalette::Dark, solid.darker(150));
        palette.setColor(QPalette::Shadow, solid.darker(300));
        palette.setColor(QPalette::WindowText, contrastingTextColor(color, false));
    }

    // The frame a ColorButton has: a raised panel, plain while pressed.
    QStyleOptionFrame frame;
    frame.rect = option.rect;
    frame.palette = palette;
    frame.frameShape = QFrame::WinPanel;
    frame.lineWidth = 2;
    frame.midLineWidth = 0;
    frame.state = QStyle::State_Enabled;
    if (index != m_pressed)
        frame.state |= QStyle::State_Raised;
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    painter->save();
    // Alpha is not used, as a ColorButton shows it; no colour shows the list's own background.
    painter->fillRect(option.rect, palette.window());
    style->drawControl(QStyle::CE_ShapedFrame, &frame, painter, widget);
    painter->setFont(option.font);
    painter->setPen(palette.color(QPalette::WindowText));
    painter->drawText(option.rect, Qt::AlignCenter, QStringLiteral("\u2026"));
    painter->restore();
}

bool ColorSwatchDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return QStyledItemDelegate::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const QModelIndex index = m_view->indexAt(static_cast<QMouseEvent *>(event)->pos());
        if (!index.data(ColorRole).isValid())
            return false;
        m_pressed = index;
        m_view->update(index);
        return true;
    }
    case QEvent::MouseMove:
        // The press is the swatch's, as a button keeps the mouse it was pressed with.
        return m_pressed.isValid();
    case QEvent::MouseButtonRelease: {
        if (!m_pressed.isValid())
            return false;
        const QModelIndex index = m_pressed;
        m_pressed = QPersistentModelIndex();
        m_view->update(index);
        emit clicked(index);
        return true;
    }
    default:
        return false;
    }
}
