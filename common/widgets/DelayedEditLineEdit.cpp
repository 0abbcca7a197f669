#include "common/widgets/DelayedEditLineEdit.h"

#include "common/widgets/DialogHelpers.h"
#include "common/widgets/FilterDelay.h"
#include "common/widgets/WidgetContext.h"

#include <QKeyEvent>

DelayedEditLineEdit::DelayedEditLineEdit(QWidget *parent) : QLineEdit(parent)
{
    // Filter terms, titles and default values come from the plan, at any length.
    allowLongText(this);
    connect(this, &QLineEdit::textChanged, this, &DelayedEditLineEdit::onTextChanged);
    connect(&m_timer, &QTimer::timeout, this, &DelayedEditLineEdit::onTimeOut);
}

void DelayedEditLineEdit::flush()
{
    if (m_timer.isActive())
        onTimeOut();
}

void DelayedEditLineEdit::discard()
{
    m_timer.stop();
}

void DelayedEditLineEdit::setGreyText(const QString &hint)
{
    const bool wasBlocked = blockSignals(true);
    m_greyText = hint;
    setStyleSheet(QStringLiteral("DelayedEditLineEdit{color: gray;}"));
    setText(hint);
    setCursorPosition(0);
    blockSignals(wasBlocked);
}

void DelayedEditLineEdit::clearGreyText()
{
    if (m_greyText.isEmpty())
        return;
    m_greyText.clear();
    // Not blocked: removing the hint counts as an edit, so the empty text is reported.
    clear();
    setStyleSheet(WidgetContext::uiStyle() == UiStyle::Dark
                      ? QStringLiteral("DelayedEditLineEdit{color: silver;}")
                      : QStringLiteral("DelayedEditLineEdit{color: black;}"));
}

void DelayedEditLineEdit::keyPressEvent(QKeyEvent *event)
{
    clearGreyText();
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    QLineEdit::keyPressEvent(event);
}

void DelayedEditLineEdit::mousePressEvent(QMouseEvent *event)
{
    clearGreyText();
    QLineEdit::mousePressEvent(event);
}

void DelayedEditLineEdit::onTextChanged()
{
    restartDelayTimer(m_timer);
}

void DelayedEditLineEdit::onTimeOut()
{
    m_timer.stop();
    emit delayedEditTextChanged(text());
}
