// The main window with real files and scripted dialogs, as the document tests use it.
#pragma once

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/TabStrip.h"

#include <Qsci/qsciscintilla.h>
#include <QTabBar>

struct EditorFixture
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    std::unique_ptr<TfrmEditor> form;

    explicit EditorFixture(const QStringList &arguments = {QStringLiteral("OrvikEditor")})
    {
        form = std::make_unique<TfrmEditor>(dialogs, arguments);
        form->resize(1000, 700);
        form->show();
        (void)QTest::qWaitForWindowExposed(form.get());
    }

    TfrmEditor &f() { return *form; }
    QByteArray editorText() const { return form->mmoEditor->bytes(); }
    QString caption() const { return form->windowTitle(); }
    QStringList tabs() const
    {
        QStringList result;
        for (int i = 0; i < form->tabFileList->count(); ++i)
            result << form->tabFileList->tab(i);
        return result;
    }
    int tabIndex() const { return form->tabFileList->tabIndex(); }
    // What a user's typing does: an edit at the caret through the toolkit.
    void type(const QString &text) { qobject_cast<QsciScintilla *>(form->mmoEditor->widget())->insert(text); }
    // A user's click on a tab of the strip.
    void clickTab(int index)
    {
        QTabBar *bar = form->tabFileList->bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Opens a file as the Open command does after its dialog.
    void open(const QString &path) { OpenDocument(*form, path); }
    void openGuarded(const QString &path)
    {
        form->guard.run([&] { OpenDocument(*form, path); });
    }
    QString file(const QString &name, const QByteArray &bytes) const
    {
        return env.writeFile(name, bytes);
    }
};
