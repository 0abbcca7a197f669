#pragma once

#include <QPlainTextEdit>
#include <QTimer>

// A plain-text editor (card notes, titles) that signals once typing pauses; the receiver reads
// the document itself (see DelayedEditLineEdit).
class DelayedEditPlainTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit DelayedEditPlainTextEdit(QWidget *parent = nullptr);

    // Reports a pending edit at once; does nothing when no edit is pending.
    void flushPendingEdit();

signals:
    void delayedEditTextChanged();
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void onTextChanged();
    void onTimeOut();

private:
    QTimer m_timer;
};
