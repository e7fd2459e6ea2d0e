// A window's controls, reached by their object names as the toolkit knows them.
#pragma once

#include <QAction>
#include <QWidget>

// The window's child of type T with that object name, or of that type alone when no name is
// given. A missing control ends the test program.
template<typename T = QWidget>
T &Control(const QObject &window, const char *name = nullptr)
{
    T *control = window.findChild<T *>(name ? QString::fromLatin1(name) : QString());
    if (!control)
        qFatal("no control %s", name ? name : "of that type");
    return *control;
}

// Chooses a menu item as a user does: an error it raises goes to the error report.
inline void Choose(const QObject &window, const char *item)
{
    Control<QAction>(window, item).trigger();
}
