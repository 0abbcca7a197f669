#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that end a program from outside (SIGTERM of a logout, a shutdown or kill;
// SIGHUP of a closed terminal; SIGINT of Ctrl+C) into quitRequested(), delivered by the event
// loop, so that main can quit the orderly way, edits saved, instead of dying with them. The
// handler only writes a byte to a socket: nothing else is safe inside it. The handlers stay in
// place for the rest of the process, so that a signal that comes while the program winds down
// does no harm; a signal ignored when the program started (nohup) stays ignored. One object per
// program, made once the window that answers it exists.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);

    // The signal that came last, as quitRequested() is emitted; 0 before any.
    int lastSignal() const { return m_lastSignal; }

    // Ends the process as the signal would have, had the program not caught it: its default
    // action restored, the signal raised. Whoever started the program (a shell, a script, a
    // service manager) sees the signal it sent, not an exit of the program's own. Returns only
    // for 0.
    static void endBySignal(int number);

signals:
    // One or more of the signals came since the last time; emitted once for them all.
    void quitRequested();

private:
    void onSignalled();

    QSocketNotifier *m_notifier = nullptr;
    int m_lastSignal = 0;
};
