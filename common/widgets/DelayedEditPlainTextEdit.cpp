#include "common/widgets/DelayedEditPlainTextEdit.h"

#include "common/widgets/FilterDelay.h"

#include <QKeyEvent>

DelayedEditPlainTextEdit::DelayedEditPlainTextEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &DelayedEditPlainTextEdit::onTextChanged);
    connect(&m_timer, &QTimer::timeout, this, &DelayedEditPlainTextEdit::onTimeOut);
}

void DelayedEditPlainTextEdit::flushPendingEdit()
{
    if (m_timer.isActive())
        onTimeOut();
}

void DelayedEditPlainTextEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        emit escapePressed();
    QPlainTextEdit::keyPressEvent(event);
}

void DelayedEditPlainTextEdit::onTextChanged()
{
    restartDelayTimer(m_timer);
}

void DelayedEditPlainTextEdit::onTimeOut()
{
    m_timer.stop();
    emit delayedEditTextChanged();
}
