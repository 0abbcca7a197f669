#include "ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QWidget>

namespace {

const int pollIntervalMs = 10;

QString plainText(QString text)
{
    return text.remove(QLatin1Char('&'));
}

QAbstractButton *findButton(QWidget *modal, const QString &text)
{
    const QList<QAbstractButton *> buttons = modal->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (plainText(button->text()) == text && button->isEnabled())
            return button;
    }
    return nullptr;
}

} // namespace

ModalAnswer::ModalAnswer(const QString &buttonText, const QStringList &checkBoxesToTick,
                         Action action, int timeoutMs)
    : m_buttonText(buttonText),
      m_checkBoxes(checkBoxesToTick),
      m_action(std::move(action)),
      m_remainingPolls(timeoutMs / pollIntervalMs + 1)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswer::onPoll);
    m_timer.start(pollIntervalMs);
}

void ModalAnswer::onPoll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && findButton(modal, m_buttonText)) {
        m_timer.stop();
        answer(modal);
        return;
    }
    if (--m_remainingPolls <= 0)
        giveUp();
}

void ModalAnswer::answer(QWidget *modal)
{
    m_shownClassName = QString::fromLatin1(modal->metaObject()->className());
    auto *box = qobject_cast<QMessageBox *>(modal);
    m_shownText = box ? box->text() : modal->windowTitle();
    m_shownAsMarkup = labelsShowMarkup(modal);
    for (const QString &name : qAsConst(m_checkBoxes)) {
        if (QAbstractButton *check = findButton(modal, name))
            check->setChecked(true);
    }
    if (m_action)
        m_action(modal);
    if (QAbstractButton *button = findButton(modal, m_buttonText)) {
        m_answered = true;
        button->click();
    }
    emit finished();
}

void ModalAnswer::giveUp()
{
    m_timer.stop();
    QWidget *modal = QApplication::activeModalWidget();
    qWarning("ModalAnswer: no modal widget with the button \"%s\" appeared",
             qPrintable(m_buttonText));
    if (auto *dialog = qobject_cast<QDialog *>(modal))
        dialog->reject();
    else if (modal)
        modal->close();
    emit finished();
}

bool labelsShowMarkup(const QWidget *widget)
{
    QList<const QLabel *> labels;
    for (const QLabel *label : widget->findChildren<QLabel *>())
        labels.append(label);
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        labels.append(label);
    for (const QLabel *label : qAsConst(labels)) {
        if (label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
            return true;
    }
    return false;
}

void answerNextModal(const QString &buttonText, const QStringList &checkBoxesToTick)
{
    auto *answer = new ModalAnswer(buttonText, checkBoxesToTick);
    QObject::connect(answer, &ModalAnswer::finished, answer, &QObject::deleteLater);
}
