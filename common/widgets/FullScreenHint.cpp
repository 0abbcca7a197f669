#include "common/widgets/FullScreenHint.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QPainter>

void drawFullScreenHint(QAbstractScrollArea *view)
{
    QPainter painter(view->viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(0.8);
    painter.setPen(QPen(QBrush(Qt::yellow), 2, Qt::SolidLine));
    painter.setBrush(QBrush(Qt::black, Qt::SolidPattern));
    QFont font;
    font.setPixelSize(40);
    painter.setFont(font);
    const QString text = QStringLiteral("Press the 'Esc' key to exit full screen mode");
    const QFontMetrics metrics(font);
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    QRect box(0, 0, int(textWidth * 1.3), 3 * textHeight);
    box.moveCenter(view->rect().center());
    const int radius = (3 * textHeight) / 5;
    painter.drawRoundedRect(box, radius, radius);
    painter.drawText(box, Qt::AlignCenter, text);
}
