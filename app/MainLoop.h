#pragma once

#include <functional>

class Application;
class MainWindow;

// How the program's loop ended: its exit code, and the signal whose quit went ahead (0 when
// the program was not ended from outside).
struct MainLoopEnd
{
    int exitCode = 0;
    int quitSignal = 0;
};

// Runs the program's one window until the program ends: shown, quitting when it closes, and
// closed as File > Exit closes it when the program is ended from outside (a logout, a shutdown,
// a closed terminal, Ctrl+C), so that a pending edit is saved; once that close goes ahead the
// program ends, whatever else is still shown. main runs it; so does the test program that ends
// a running one from outside, which makes its edit in ready, before the loop.
MainLoopEnd runMainWindow(Application &application,
                          const std::function<void(MainWindow &)> &ready = {});

// What main returns once the application object is gone and with it the preferences written:
// the loop's exit code, or, after a quit that a signal began, the end by that signal.
int endProgram(const MainLoopEnd &end);
