#pragma once

#include <QComboBox>
#include <QTimer>

// An editable combo box that reports its text once typing pauses (see DelayedEditLineEdit).
class DelayedEditComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit DelayedEditComboBox(QWidget *parent = nullptr);

    // Reports a pending edit at once; does nothing when no edit is pending.
    void flush();

    // Long entries must not widen the left pane.
    QSize sizeHint() const override;

signals:
    void delayedEditTextChanged(QString text);

private slots:
    void onTextChanged();
    void onTimeOut();

private:
    QTimer m_timer;
};
