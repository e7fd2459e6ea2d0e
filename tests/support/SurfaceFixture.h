// An editing surface in a window of its own, with scripted dialogs behind its guard.
#pragma once

#include "host/EditSurface.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QInputMethodEvent>
#include <QWidget>

struct SurfaceFixture
{
    ScriptedDialogs dialogs;
    Guard guard {dialogs};
    QWidget window;
    EditSurface surface {guard, &window};

    QsciScintilla &sci() { return *qobject_cast<QsciScintilla *>(surface.widget()); }
    // Types as a user's input method does; the change is reported when the event is done.
    void type(const QString &text)
    {
        QInputMethodEvent typed;
        typed.setCommitString(text);
        QApplication::sendEvent(&sci(), &typed);
    }
};
