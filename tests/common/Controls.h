#pragma once
// A control of a window found by the name its design gives it (its objectName), as a user's
// script or an accessibility tool would find it. A name that finds nothing is a fault of the
// caller, and stops the program with that name.

#include <QObject>
#include <QString>
#include <QtGlobal>

template <class T>
T* control(const QObject& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    if (!found) qFatal("no control called %s", qPrintable(name));
    return found;
}

// One of a control array: "PicRead", 1 is PicRead_1.
template <class T>
T* control(const QObject& window, const char* name, int index) {
    return control<T>(window, QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index));
}
