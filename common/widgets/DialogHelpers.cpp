#include "common/widgets/DialogHelpers.h"

#include "common/core/SavedWindowShapes.h"
#include "common/widgets/BalloonTip.h"
#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <limits>

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QColorDialog>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QSpacerItem>

QRect desktopGeometry()
{
    QRect desktop;
    for (const QScreen *screen : QGuiApplication::screens())
        desktop |= screen->geometry();
    return desktop;
}

void restoreSavedGeometry(QWidget *window, const QByteArray &geometry)
{
    if (isRestorableGeometry(geometry, desktopGeometry()))
        window->restoreGeometry(geometry);
}

QColor pickColor(const QColor &initial, QWidget *parent)
{
    QColorDialog dialog(initial, parent);
    if (dialog.exec() == QDialog::Accepted)
        return dialog.currentColor();
    return initial;
}

void prepareDialog(QWidget *dialog)
{
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->setWindowOpacity(WidgetContext::settings()->windowOpacity());
    BalloonTip::hideBalloon();
    allowLongText(dialog);
}

void allowLongText(QWidget *widget)
{
    // QLineEdit's own default; a field that still has it was never limited on purpose.
    constexpr int defaultMaxLength = 32767;
    QList<QLineEdit *> edits = widget->findChildren<QLineEdit *>();
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edits.prepend(edit);
    for (QLineEdit *edit : qAsConst(edits)) {
        if (edit->maxLength() == defaultMaxLength)
            edit->setMaxLength(std::numeric_limits<int>::max());
    }
}

void setSmallButtonStyle(QWidget *button)
{
    button->setFixedSize(18, 21);
    button->setStyleSheet(QStringLiteral("margin-top: 3px;"));
}

bool isSpacerAction(const QAction *action)
{
    return action->isSeparator() || action->iconText() == QLatin1String("_spacer");
}

void wrapWithSpacers(QWidget *widget, QBoxLayout *layout, int topHeight, int bottomHeight,
                     int position)
{
    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    if (topHeight > 0)
        column->addItem(new QSpacerItem(0, topHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    column->addWidget(widget);
    if (bottomHeight > 0)
        column->addItem(new QSpacerItem(0, bottomHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    layout->insertLayout(position, column, 0);
}

void drawCenteredHint(QWidget *viewport, const QRect &area, const QString &text)
{
    QPainter painter(viewport);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::gray);
    QFont font = QApplication::font();
    font.setPointSize(11);
    painter.setFont(font);
    painter.drawText(area, Qt::AlignCenter, text);
}
