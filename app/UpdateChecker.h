#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>

class HttpLoader;
class QAction;
class QWidget;

// The update check: once per start when it is due, or from the Help menu, the maker's server is
// asked for the latest production version and the user is told how it compares. The main
// window forwards its update commands here and tells it when the window closes; the command
// is disabled while an answer is awaited.
class UpdateChecker : public QObject
{
    Q_OBJECT

public:
    // Posted to the window when the automatic check is due; the window hands it back to
    // checkForUpdates, once the event loop runs.
    static constexpr QEvent::Type checkDueEvent = QEvent::Type(QEvent::User + 1);

    // The window is the parent of the messages and receives checkDueEvent.
    UpdateChecker(QAction *checkCommand, QWidget *window);

    // The server is the maker's site unless set otherwise (tests serve the answers on this
    // machine); an empty address restores it.
    static QString updateServerAddress();
    static void setUpdateServerAddress(const QString &address);

    // At the start of a run: posts checkDueEvent when the automatic check is due, and
    // otherwise says so with noCheckDue.
    void startAutomaticCheck();
    // Asks the server and shows the answer. Every other command may run while the answer is
    // awaited.
    void checkForUpdates(bool automatic);
    // The window closes: a check still waiting ends without a word.
    void cancel();

signals:
    void noCheckDue();

private:
    void showAnswer(const QString &answer);

    QAction *m_checkCommand;
    QWidget *m_window;
    // The loader of a check while it waits, so that closing the window can end it.
    QPointer<HttpLoader> m_loader;
    bool m_checking = false;
    // The window was closed while a check waited.
    bool m_cancelled = false;
};
