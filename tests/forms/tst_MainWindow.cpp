#include "TestEnvironment.h"

#include "forms/fmEditor.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include <QAction>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void layoutFillsTheClientArea_data()
    {
        QTest::addColumn<QSize>("client"); // below the menu bar, above the status bar
        QTest::addColumn<QString>("sizes"); // pages, editor, tabs, Edit page, browser, file list
        // A window of 800 x 600 less the frame, caption and menu bar the rule allows for.
        QTest::newRow("800 x 600")
            << QSize(776, 552) << "641x520 629x473 634x494 634x495 634x495 136x379";
        QTest::newRow("tiny window") << QSize(136, 102) << "1x70 0x23 0x44 0x45 0x45 136x0";
    }
    void layoutFillsTheClientArea()
    {
        QFETCH(QSize, client);
        QFETCH(QString, sizes);
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.setMinimumSize(0, 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Again until it fits: a narrower window wraps its menu bar.
        const auto fit = [&] {
            form.resize(form.size() + client - form.centralWidget()->size());
            return form.centralWidget()->size() == client;
        };
        QTRY_VERIFY(fit());
        QStringList shown;
        for (const char *name :
             {"pgpEditor", "mmoEditor", "tabFileList", "shtEdit", "webBrowser", "FileList"}) {
            const QWidget &w = Control(form, name);
            shown << QStringLiteral("%1x%2").arg(w.width()).arg(w.height());
        }
        QCOMPARE(shown.join(' '), sizes);
    }

    // What a user meets at start-up, and the keys they work with. Without a window manager the
    // window must also keep the keyboard itself.
    void startupMenusAndKeys()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        // The installed icon, in both sizes the desktop entry's theme has.
        QCOMPARE(form.windowIcon().availableSizes(),
                 QList<QSize>({QSize(48, 48), QSize(128, 128)}));
        // Typing goes into the text, not into the file panel before it.
        QCOMPARE(QApplication::focusWidget(), &Control(form, "mmoEditor"));
        // The browser engine is loaded only when the Browse page is first shown.
        QVERIFY(form.findChildren<QWidget *>("webEngineView").isEmpty());

        // Each tool-bar button is its menu item's own action, with a picture.
        QList<QAction *> buttons;
        for (QAction *a : Control<QToolBar>(form, "toolbar").actions())
            if (!a->isSeparator() && !a->icon().isNull())
                buttons << a;
        QCOMPARE(buttons,
                 QList<QAction *>(
                     {&Control<QAction>(form, "itmNew"), &Control<QAction>(form, "itmOpen"),
                      &Control<QAction>(form, "itmSave"), &Control<QAction>(form, "itmSaveAll")}));

        // Alt+E names the Edit page and the Edit menu: the page from Browse, else the menu.
        PageControl &pages = Control<PageControl>(form);
        pages.setActivePage(&Control(form, "shtBrowse"));
        QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(pages.activePage(), &Control(form, "shtEdit"));
        QVERIFY(!form.menuBar()->activeAction());
        QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(form.menuBar()->activeAction(), form.menuBar()->actions().at(1));
        QTest::keyClick(form.menuBar(), Qt::Key_Escape);
        QTest::keyClick(form.menuBar(), Qt::Key_Escape);

        // A closed dialog hands the keyboard back, or the menu keys would stop working.
        Choose(form, "Find1");
        QWidget &dlgFind = Control(form, "dlgFind");
        QTRY_COMPARE(QApplication::activeWindow(), &dlgFind);
        dlgFind.close();
        QTRY_COMPARE(QApplication::activeWindow(), &form);

        // Shift+F10 opens the editor's pop-up menu, which runs its own loop until closed.
        QWidget *shown = nullptr;
        QWidget &mnuPopEditor = Control(form, "mnuPopEditor");
        QTimer::singleShot(0, &form, [&] {
            shown = QApplication::activePopupWidget();
            mnuPopEditor.close();
        });
        QTest::keyClick(&Control(form, "mmoEditor"), Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(shown, &mnuPopEditor);
        ANSWERED(dialogs);
    }
};

ORVIK_TEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
