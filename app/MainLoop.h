#pragma once

#include <functional>

class Application;
class MainWindow;

// Runs the program's one window until the program ends: shown, quitting when it closes, and
// closed as File > Exit closes it when the program is ended from outside (a logout, a shutdown,
// a closed terminal, Ctrl+C), so that a pending edit is saved. main runs it; so does the test
// program that ends a running one from outside, which makes its edit in ready, before the loop.
int runMainWindow(Application &application, const std::function<void(MainWindow &)> &ready = {});
