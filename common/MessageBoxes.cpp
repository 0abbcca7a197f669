#include "common/MessageBoxes.h"

#include "common/Settings.h"
#include "common/WidgetContext.h"

#include <QCheckBox>

namespace {

const QString &boxTitle()
{
    static const QString title = QStringLiteral("Tavrolo");
    return title;
}

} // namespace

int criticalMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::critical(parent, boxTitle(), text, buttons, defaultButton);
}

int warningMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::warning(parent, boxTitle(), text, buttons, defaultButton);
}

int informationMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton)
{
    return QMessageBox::information(parent, boxTitle(), text, buttons, defaultButton);
}

int warningMessageOnce(const QString &key, QWidget *parent, const QString &text,
                       QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton)
{
    if (WidgetContext::settings()->value(key, false).toBool())
        return defaultButton;
    const int result = warningMessage(parent, text, buttons, defaultButton);
    WidgetContext::settings()->setValue(key, true);
    return result;
}

int messageBoxWithDontShowAgain(QWidget *parent, QMessageBox::Icon icon, const char *key,
                                const QString &text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    const QString keyName = QString::fromLatin1(key);
    if (!WidgetContext::settings()->value(keyName, true).toBool())
        return defaultButton;
    QMessageBox box(icon, boxTitle(), text, buttons, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto *dontShow = new QCheckBox(QStringLiteral("Don't show this again"), &box);
    box.setCheckBox(dontShow);
    box.setDefaultButton(defaultButton);
    const int result = box.exec();
    if (dontShow->isChecked())
        WidgetContext::settings()->setValue(keyName, false);
    return result;
}

int warningWithDontShowAgain(QWidget *parent, const char *key, const QString &text,
                             QMessageBox::StandardButtons buttons,
                             QMessageBox::StandardButton defaultButton)
{
    return messageBoxWithDontShowAgain(parent, QMessageBox::Warning, key, text, buttons,
                                       defaultButton);
}

int informationWithDontShowAgain(QWidget *parent, const char *key, const QString &text,
                                 QMessageBox::StandardButtons buttons,
                                 QMessageBox::StandardButton defaultButton)
{
    return messageBoxWithDontShowAgain(parent, QMessageBox::Information, key, text, buttons,
                                       defaultButton);
}
