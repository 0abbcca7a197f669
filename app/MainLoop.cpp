#include "app/MainLoop.h"

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/QuitSignals.h"
#include "common/widgets/MessageBoxes.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

namespace {

// How long a quit from outside waits for the dialogs and menus it cancelled to return, and for
// the window's close handler, and how often it looks.
int nestedLoopsWaitMs = 3000;
int nestedLoopsPollMs = 10;

// How the program's loop ended: its exit code, and the signal whose quit went ahead (0 when
// the program was not ended from outside).
struct MainLoopEnd
{
    int exitCode = 0;
    int quitSignal = 0;
};

// Every open menu and modal dialog is answered as Escape or Cancel would answer it, the topmost
// first, so that each uncovers the next.
void cancelNestedLoops()
{
    QWidget *previous = nullptr;
    while (QWidget *popup = QApplication::activePopupWidget()) {
        if (popup == previous)
            break;
        previous = popup;
        popup->close();
    }
    previous = nullptr;
    while (QWidget *modal = QApplication::activeModalWidget()) {
        // One that will not close is left to the loop's end.
        if (modal == previous)
            break;
        previous = modal;
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
}

MainLoopEnd runMainWindow(const std::function<void(MainWindow &)> &ready)
{
    // The plan is saved when the session manager asks for it (PlanFileCommands); closing the
    // windows on top of that would quit before the session manager says so, and ask again.
    QGuiApplication::setFallbackSessionManagementEnabled(false);
    MainWindow window;
    window.show();
    QObject::connect(qApp, &QApplication::lastWindowClosed, qApp, &QApplication::quit);
    QuitSignals quitSignals;
    MainLoopEnd end;
    // A modal dialog or a menu runs a loop of its own within the program's. Closed and saved
    // from within that loop, the program would go on in the dialog's code with its window gone
    // (a file dialog then reads its folder's changes, the save among them, and waits there for
    // ever). The quit cancels them first and goes ahead once their loops have returned, or
    // after a while in any case. The window's own close, still deciding once its question is
    // gone (the quit closed it), lets pending events run, the quit's next look among them: a
    // close asked for from there would go unheard, Qt ignoring a close while one runs, and the
    // quit would be taken as refused. The quit waits for that close to return as well.
    const int programLoopLevel = QThread::currentThread()->loopLevel() + 1;
    QElapsedTimer waited;
    std::function<void()> quitOnceLoopsReturn = [&] {
        const bool held
            = QThread::currentThread()->loopLevel() > programLoopLevel || window.isDecidingClose();
        if (held && waited.elapsed() < nestedLoopsWaitMs) {
            cancelNestedLoops();
            QTimer::singleShot(nestedLoopsPollMs, &window, quitOnceLoopsReturn);
            return;
        }
        // Once the window has closed, nothing asks until the program has ended: what the close
        // lets run, and what the loops still run as they end, answers unasked.
        if (!window.onQuitRequested()) {
            setNoOneToAnswerBoxes(false);
            return;
        }
        end.quitSignal = quitSignals.lastSignal();
        // Another window still shown would keep the program running for good.
        QCoreApplication::quit();
    };
    // A signal that comes while the quit waits, or asks, is part of it.
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &window, [&] {
        if (quitFromOutsideUnderway())
            return;
        // No box opens from here on: the quit closes those open, and the user who might answer
        // one that opened now may be gone.
        setNoOneToAnswerBoxes(true);
        waited.start();
        quitOnceLoopsReturn();
    });
    if (ready)
        ready(window);
    end.exitCode = QCoreApplication::exec();
    return end;
}

} // namespace

// The boxes' own flag: one state, so that what the quit does and what the boxes do never
// disagree.
bool quitFromOutsideUnderway()
{
    return noOneToAnswerBoxes();
}

int setNestedLoopsWaitMs(int milliseconds)
{
    const int previous = nestedLoopsWaitMs;
    nestedLoopsWaitMs = milliseconds;
    return previous;
}

int setNestedLoopsPollMs(int milliseconds)
{
    const int previous = nestedLoopsPollMs;
    nestedLoopsPollMs = milliseconds;
    return previous;
}

int runProgram(int &argc, char **argv, const std::function<void()> &prepared,
               const std::function<void(MainWindow &)> &ready)
{
    MainLoopEnd end;
    {
        Application application(argc, argv);
        if (prepared)
            prepared();
        end = runMainWindow(ready);
    }
    QuitSignals::endBySignal(end.quitSignal);
    return end.exitCode;
}
