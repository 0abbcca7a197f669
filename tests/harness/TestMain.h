#pragma once

#include <QtTest>

// Runs one QtTest class against a fresh, throw-away home and configuration folder,
// so that no test ever reads or writes the user's real preferences.
int runTavroloTest(int argc, char *argv[], QObject *(*makeTest)());

#define TAVROLO_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char *argv[])                                                        \
    {                                                                                       \
        return runTavroloTest(argc, argv, []() -> QObject * { return new TestClass; });     \
    }
