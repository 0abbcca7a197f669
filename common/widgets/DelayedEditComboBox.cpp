#include "common/widgets/DelayedEditComboBox.h"

#include "common/widgets/DialogHelpers.h"
#include "common/widgets/FilterDelay.h"

#include <algorithm>

DelayedEditComboBox::DelayedEditComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // The field shows plan values, which may be longer than a line edit takes by default.
    allowLongText(this);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::editTextChanged, this, &DelayedEditComboBox::onTextChanged);
    connect(&m_timer, &QTimer::timeout, this, &DelayedEditComboBox::onTimeOut);
}

void DelayedEditComboBox::flush()
{
    if (m_timer.isActive())
        onTimeOut();
}

QSize DelayedEditComboBox::sizeHint() const
{
    QSize hint = QComboBox::sizeHint();
    hint.setWidth(std::min(hint.width(), 200));
    return hint;
}

void DelayedEditComboBox::onTextChanged()
{
    restartDelayTimer(m_timer);
}

void DelayedEditComboBox::onTimeOut()
{
    m_timer.stop();
    emit delayedEditTextChanged(currentText());
}
