#pragma once

#include <QObject>
#include <QString>

// The widget tests reach a form's controls by their object names. A name that is gone stops
// the program at once, naming it, rather than failing later on a null pointer.
template<typename T>
T *child(QObject *parent, const QString &name)
{
    T *found = parent->findChild<T *>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}
