// The main window with real files and scripted dialogs, as the document tests use it.
#pragma once

#include "ScriptedDialogs.h"
#include "TestEnvironment.h"
#include "WindowControls.h"

#include "app/unCommon.h"
#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/Guard.h"
#include "host/PageControl.h"
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
    template<typename T = QWidget>
    T &control(const char *name = nullptr) const
    {
        return Control<T>(*form, name);
    }
    EditSurface &editor() const { return control<EditSurface>(); }
    QsciScintilla &scintilla() const { return control<QsciScintilla>("mmoEditor"); }
    TabStrip &tabStrip() const { return control<TabStrip>(); }
    PageControl &pages() const { return control<PageControl>(); }
    // Brings a page to the front as a command does, raising no page change.
    void setPage(const char *name) { pages().setActivePage(&control(name)); }
    QString page() const { return pages().activePage()->objectName(); }
    void choose(const char *item) { Choose(*form, item); }

    QByteArray editorText() const { return editor().bytes(); }
    QString caption() const { return form->windowTitle(); }
    QStringList tabs() const
    {
        QStringList result;
        for (int i = 0; i < tabStrip().count(); ++i)
            result << tabStrip().tab(i);
        return result;
    }
    int tabIndex() const { return tabStrip().tabIndex(); }
    // What a user's typing does: an edit at the caret through the toolkit.
    // The change is reported once the toolkit has handled what typing posts.
    void type(const QString &text)
    {
        scintilla().insert(text);
        QCoreApplication::sendPostedEvents();
    }
    // A user's click on a tab of the strip.
    void clickTab(int index)
    {
        QTabBar *bar = tabStrip().bar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Opens a file as the Open command does after its dialog.
    void open(const QString &path) { OpenDocument(*form, path); }
    void openGuarded(const QString &path)
    {
        Guard guard(dialogs);
        guard.run([&] { OpenDocument(*form, path); });
    }
    QString file(const QString &name, const QByteArray &bytes) const
    {
        return env.writeFile(name, bytes);
    }
};
