#pragma once

#include <QLineEdit>
#include <QTimer>

// A line edit for search and filter fields: it reports its text once typing pauses, so that
// a big plan is not re-filtered on every keystroke. It can also show a grey hint that goes
// away when the user types or clicks into it.
class DelayedEditLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit DelayedEditLineEdit(QWidget *parent = nullptr);

    // Reports a pending edit at once; does nothing when no edit is pending.
    void flush();
    // Forgets a pending edit without reporting it. A pane that refills the field from the plan
    // calls it, so that typing from before the refill does not come back afterwards as a
    // change of its own.
    void discard();

    // Shows a hint as grey text without reporting a change.
    void setGreyText(const QString &hint);
    void clearGreyText();

signals:
    void delayedEditTextChanged(QString text);
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private slots:
    void onTextChanged();
    void onTimeOut();

private:
    QTimer m_timer;
    QString m_greyText;
};
