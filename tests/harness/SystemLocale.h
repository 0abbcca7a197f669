#pragma once

#include <QLocale>
#include <QString>

// Every other test runs in the C locale, which the test home pins before the application
// starts. Qt reads the system locale once, when it is first asked, so a test about another
// locale calls this from a static initializer: before main, before anything asks.
inline QString startUnderSystemLocale(const char *name)
{
    qputenv("LC_ALL", name);
    qputenv("LANG", name);
    return QLocale::system().name();
}
