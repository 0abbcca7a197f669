#include "common/widgets/MessageBoxes.h"

#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <QCheckBox>

namespace {

const QString &boxTitle()
{
    static const QString title = QStringLiteral("Tavrolo");
    return title;
}

} // namespace

void setMessageText(QMessageBox &box, const QString &text)
{
    box.setWindowTitle(boxTitle());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
}

int messageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
               QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, boxTitle(), QString(), buttons, parent);
    setMessageText(box, text);
    box.setDefaultButton(defaultButton);
    // As QMessageBox's own static boxes answer.
    if (box.exec() == -1)
        return QMessageBox::Cancel;
    return box.standardButton(box.clickedButton());
}

int criticalMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton defaultButton)
{
    return messageBox(parent, QMessageBox::Critical, text, buttons, defaultButton);
}

int warningMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton)
{
    return messageBox(parent, QMessageBox::Warning, text, buttons, defaultButton);
}

int informationMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                       QMessageBox::StandardButton defaultButton)
{
    return messageBox(parent, QMessageBox::Information, text, buttons, defaultButton);
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
    QMessageBox box(icon, boxTitle(), QString(), buttons, parent,
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setMessageText(box, text);
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
