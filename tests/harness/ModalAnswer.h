#pragma once

#include <functional>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QWidget;

// Answers the next modal message box or dialog while the test waits in exec(): it ticks the
// named check boxes, runs an optional action on the widget (fill a field, pick a colour),
// then presses the button with the given text ("OK", "Cancel", "Copy samples"; an "&"
// shortcut marker is ignored). Create it before the call that opens the box:
//
//     ModalAnswer answer(QStringLiteral("Cancel"), {QStringLiteral("Don't show this again")});
//     const int button = warningWithDontShowAgain(nullptr, "show_warning_del_row", text);
//     QVERIFY(answer.answered());
//
// A box that is still open when the time runs out, or that has no such button, is rejected
// so the test fails instead of hanging.
class ModalAnswer : public QObject
{
    Q_OBJECT

public:
    using Action = std::function<void(QWidget *modal)>;

    explicit ModalAnswer(const QString &buttonText, const QStringList &checkBoxesToTick = {},
                         Action action = Action(), int timeoutMs = 5000);

    // True once the button was found and pressed.
    bool answered() const { return m_answered; }
    // The text of the answered message box (its window title for other dialogs).
    QString shownText() const { return m_shownText; }
    // Which class of widget was answered, e.g. "QMessageBox".
    QString shownClassName() const { return m_shownClassName; }
    // Whether a label of the answered window showed its text as markup (labelsShowMarkup).
    bool shownAsMarkup() const { return m_shownAsMarkup; }

signals:
    // Answered or given up; the answer does nothing more after this.
    void finished();

private slots:
    void onPoll();

private:
    void answer(QWidget *modal);
    void giveUp();

    QString m_buttonText;
    QStringList m_checkBoxes;
    Action m_action;
    int m_remainingPolls;
    bool m_answered = false;
    QString m_shownText;
    QString m_shownClassName;
    bool m_shownAsMarkup = false;
    QTimer m_timer;
};

// Whether any label of the widget (the widget itself included) reads its text as markup: set
// so, or left to guess and given text that looks like markup. Plan text is never markup.
bool labelsShowMarkup(const QWidget *widget);

// Fire and forget: answers the next modal widget by pressing the named button.
void answerNextModal(const QString &buttonText, const QStringList &checkBoxesToTick = {});
