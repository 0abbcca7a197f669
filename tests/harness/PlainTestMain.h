#pragma once

#include <QtTest>

class QTemporaryDir;

// Points the home, configuration, data and cache folders into the throw-away folder, so that
// no test ever reads or writes the user's real files, and pins the system locale to C.
bool prepareTestHome(const QTemporaryDir &home);
// The same for a folder that outlives the program, whose files a test reads afterwards.
bool prepareTestHome(const QString &home);

// Runs one QtTest class of the lower layers in a throw-away home with the locale pinned,
// under a plain QGuiApplication (gui set: pictures, fonts and painting work) or a
// QCoreApplication, without the program's own application object.
int runPlainTest(int argc, char *argv[], QObject *(*makeTest)(), bool gui);

#define TAVROLO_GUI_TEST_MAIN(TestClass) \
    int main(int argc, char *argv[]) \
    { \
        return runPlainTest( \
            argc, argv, []() -> QObject * { return new TestClass; }, true); \
    }

#define TAVROLO_CORE_TEST_MAIN(TestClass) \
    int main(int argc, char *argv[]) \
    { \
        return runPlainTest( \
            argc, argv, []() -> QObject * { return new TestClass; }, false); \
    }
