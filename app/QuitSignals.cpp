#include "app/QuitSignals.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDebug>
#include <QSocketNotifier>

namespace {

// Written by the handler, read by the event loop; never closed, since a handler may still write
// while the program ends.
int s_sockets[2] = {-1, -1};

const int quitSignalNumbers[] = {SIGTERM, SIGHUP, SIGINT};

void onQuitSignal(int number)
{
    const int savedErrno = errno;
    const char byte = char(number);
    // A full socket already holds a request, so a byte that does not fit is not missed.
    [[maybe_unused]] const ssize_t written = ::write(s_sockets[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (s_sockets[0] < 0
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, s_sockets) != 0) {
        qWarning("Unable to listen for the signals that end the program");
        return;
    }
    m_notifier = new QSocketNotifier(s_sockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::onSignalled);
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : quitSignalNumbers) {
        struct sigaction previous = {};
        if (sigaction(number, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        sigaction(number, &action, nullptr);
    }
}

// Drained whole: a byte left behind would bring the request back by itself, after the user had
// kept the program open.
void QuitSignals::onSignalled()
{
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(s_sockets[1], bytes, sizeof bytes)) > 0)
        m_lastSignal = bytes[count - 1];
    emit quitRequested();
}

void QuitSignals::endBySignal(int number)
{
    if (number <= 0)
        return;
    std::signal(number, SIG_DFL);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, number);
    pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
    std::raise(number);
    // Not reached for the quit signals, whose default action ends the process.
    std::_Exit(128 + number);
}
