#pragma once

#include "ModalAnswer.h"
#include "PlainTestMain.h"

#include <QtTest>

// Runs one QtTest class against a real Application with a fresh, throw-away home,
// configuration, Documents and application folder, so that no test ever reads or writes the
// user's real preferences. The system locale is pinned to C. Tests of the model and the
// helpers below it use the lighter mains of PlainTestMain.h.
int runTavroloTest(int argc, char *argv[], QObject *(*makeTest)());

#define TAVROLO_TEST_MAIN(TestClass) \
    int main(int argc, char *argv[]) \
    { \
        return runTavroloTest(argc, argv, []() -> QObject * { return new TestClass; }); \
    }
