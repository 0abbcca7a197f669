#pragma once

#include <functional>

class MainWindow;

// The program from its application object to its end, as main runs it: builds the application
// and its one window, runs the loop until the program ends (quitting when the window closes,
// and closing it as File > Exit closes it when the program is ended from outside: a logout, a
// shutdown, a closed terminal, Ctrl+C, so that a pending edit is saved), then lets the
// application go, so that the preferences it wrote at the end (the last plan, the window's
// geometry and state) are on disk, and only then ends: by the signal whose quit went ahead, so
// that whoever sent it sees it, else with the loop's exit code, which it returns. The test
// program that ends a running one from outside runs it too: prepared runs once the application
// object exists, before the window is built (its preferences preset), ready once the window is
// shown, before the loop (its edit made).
int runProgram(int &argc, char **argv, const std::function<void()> &prepared = {},
               const std::function<void(MainWindow &)> &ready = {});

// How long a quit from outside waits for the dialogs and menus it cancelled to return, and for
// the window's close handler, before it goes ahead inside their loops, 3000 ms unless changed;
// returns the wait before. The test program that ends a running one lengthens it, so that a
// quit that had to wait fails its test.
int setNestedLoopsWaitMs(int milliseconds);
// How often a quit from outside that waits looks again, 10 ms unless changed; returns the
// interval before. At 0 the next look comes with the next events the program handles: the test
// program sets it so where the window's close handler is to make that look, as it lets pending
// events run once the quit has closed its question.
int setNestedLoopsPollMs(int milliseconds);

// Whether a quit from outside is under way, from the signal until the program ends (or the
// window stays open after all): the dialogs and boxes it closes meanwhile were closed by it,
// not answered by the user, and no box opens (execMessageBox).
bool quitFromOutsideUnderway();
