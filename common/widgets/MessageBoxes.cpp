#include "common/widgets/MessageBoxes.h"

#include "common/widgets/Settings.h"
#include "common/widgets/WidgetContext.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>

namespace {

bool noOneToAnswer = false;

const QString &boxTitle()
{
    static const QString title = QStringLiteral("Tavrolo");
    return title;
}

// The one button of the role, none when there are several.
QAbstractButton *onlyButtonOfRole(const QMessageBox &box, QMessageBox::ButtonRole role)
{
    QAbstractButton *found = nullptr;
    for (QAbstractButton *button : box.buttons()) {
        if (box.buttonRole(button) != role)
            continue;
        if (found)
            return nullptr;
        found = button;
    }
    return found;
}

// The button Escape would press, found as QMessageBox finds it once shown; else the default.
QAbstractButton *unaskedAnswer(const QMessageBox &box)
{
    if (QAbstractButton *escape = box.escapeButton())
        return escape;
    if (QAbstractButton *cancel = box.button(QMessageBox::Cancel))
        return cancel;
    const QList<QAbstractButton *> buttons = box.buttons();
    if (buttons.size() == 1)
        return buttons.first();
    if (QAbstractButton *reject = onlyButtonOfRole(box, QMessageBox::RejectRole))
        return reject;
    if (QAbstractButton *no = onlyButtonOfRole(box, QMessageBox::NoRole))
        return no;
    return box.defaultButton();
}

} // namespace

int execMessageBox(QMessageBox &box)
{
    if (!noOneToAnswer)
        return box.exec();
    QAbstractButton *answer = unaskedAnswer(box);
    if (!answer)
        return -1;
    // Clicked unshown, the box records the button and its result as if the user had pressed it.
    answer->click();
    return box.result();
}

void setNoOneToAnswerBoxes(bool noOne)
{
    noOneToAnswer = noOne;
}

bool noOneToAnswerBoxes()
{
    return noOneToAnswer;
}

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
    if (execMessageBox(box) == -1)
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
    // A box no one read is still to be shown once.
    if (!noOneToAnswer)
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
    const int result = execMessageBox(box);
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
