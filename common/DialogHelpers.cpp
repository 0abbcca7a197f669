#include "common/DialogHelpers.h"

#include "common/Accessors.h"
#include "common/BalloonTip.h"
#include "common/Settings.h"

#include <QColorDialog>

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
    dialog->setWindowOpacity(settings()->windowOpacity());
    BalloonTip::hideBalloon();
}

void setSmallButtonStyle(QWidget *button)
{
    button->setFixedSize(18, 21);
    button->setStyleSheet(QStringLiteral("margin-top: 3px;"));
}
