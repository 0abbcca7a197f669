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

signals:
    // One or more of the signals came since the last time; emitted once for them all.
    void quitRequested();

private:
    void onSignalled();

    QSocketNotifier *m_notifier = nullptr;
};
