#include "TestEnvironment.h"

#include "forms/fmEditor.h"
#include "host/BrowserView.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

class tst_MainWindow : public QObject
{
    Q_OBJECT

    static QStringList captionsOf(QMenu *menu)
    {
        QStringList result;
        for (QAction *a : menu->actions())
            result << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return result;
    }

private slots:
    void layoutRule_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("pages");
        QTest::addColumn<QSize>("editor");
        QTest::addColumn<QSize>("browser");
        QTest::addColumn<int>("fileListHeight");
        QTest::newRow("800 x 600") << QSize(800, 600) << QSize(641, 520) << QSize(629, 473)
                                   << QSize(634, 495) << 379;
        QTest::newRow("tiny window") << QSize(160, 150) << QSize(1, 70) << QSize(0, 23)
                                     << QSize(0, 45) << 0;
    }
    void layoutRule()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, pages);
        QFETCH(QSize, editor);
        QFETCH(QSize, browser);
        QFETCH(int, fileListHeight);
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.setMinimumSize(0, 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // W and H are the outer size, frame included.
        const QSize frame = form.frameGeometry().size() - form.size();
        form.resize(window - frame);
        QTRY_COMPARE(form.frameGeometry().size(), window);
        QCOMPARE(form.pgpEditor->size(), pages);
        QCOMPARE(form.mmoEditor->widget()->size(), editor);
        QCOMPARE(form.tabFileList->size(), QSize(std::max(0, pages.width() - 7), pages.height() - 26));
        QCOMPARE(form.shtEdit->size(), QSize(std::max(0, pages.width() - 7), pages.height() - 25));
        QCOMPARE(form.webBrowser->size(), browser);
        QCOMPARE(form.FileList->height(), fileListHeight);
        QCOMPARE(form.FileList->width(), 136);
    }

    void menusAsDesigned()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        QStringList top;
        for (QAction *a : form.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, QStringList({"&File", "&Edit", "&Options", "&Tools", "&Window", "&Help"}));
        const QList<QAction *> menus = form.menuBar()->actions();
        QCOMPARE(captionsOf(menus[0]->menu()),
                 QStringList({"&New", "-", "&Open...", "-", "&Save", "Save &As...", "Save A&ll", "-",
                              "&Close", "-", "E&xit"}));
        QCOMPARE(captionsOf(menus[1]->menu()),
                 QStringList({"Cu&t", "&Copy", "&Paste", "-", "&Find...", "&Replace...", "-",
                              "Fon&t", "&Options"}));
        QCOMPARE(captionsOf(menus[2]->menu()), QStringList({"&Word-wrap"}));
        QVERIFY(menus[3]->menu()->actions().isEmpty());
        QVERIFY(menus[4]->menu()->actions().isEmpty());
        QCOMPARE(captionsOf(menus[5]->menu()), QStringList({"&Contents...", "-", "&About..."}));
        QCOMPARE(captionsOf(form.mnuPopEditor),
                 QStringList({"Cu&t", "&Copy", "&Paste", "-", "Close Page"}));
        QCOMPARE(captionsOf(form.mnuDriveRefresh), QStringList({"&Refresh"}));
        QVERIFY(!form.itmOptions->Enabled());
        QCOMPARE(form.itmExit->action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
        QCOMPARE(form.itmOpen->action()->statusTip(), QStringLiteral("Open HTML File..."));
        QCOMPARE(form.itm_wordwrap->action()->toolTip(), QStringLiteral("Word-wrap text in editor window"));
    }

    void toolBarButtonsRunTheirItems()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        QStringList names;
        for (QAction *a : form.toolbar->actions()) {
            if (a->isSeparator())
                names << QStringLiteral("-");
            else
                names << form.toolbar->widgetForAction(a)->objectName();
        }
        QCOMPARE(names, QStringList({"btnNew", "-", "btnOpen", "-", "btnSave", "btnSaveAll"}));
        QCOMPARE(form.toolbar->actions().at(0), form.itmNew->action());
        QVERIFY(!form.itmNew->action()->icon().isNull());
    }

    void startupWithoutArgument()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        QCOMPARE(form.windowTitle(), QStringLiteral("Ostra Pagloom"));
        QCOMPARE(form.BaseCaption, QStringLiteral("Ostra Pagloom"));
        QCOMPARE(form.CommandLineFile, QString());
        QVERIFY(!form.Exiting);
        QCOMPARE(form.tabFileList->count(), 1);
        QCOMPARE(form.tabFileList->tab(0), QStringLiteral("Untitled"));
        QCOMPARE(form.DocumentList->Count(), 1);
        QVERIFY(form.DocumentList->Items(0)->Saved);
        QCOMPARE(form.pgpEditor->activePage(), form.shtEdit);
        QVERIFY(!form.itm_wordwrap->Checked());
        QVERIFY(!form.mmoEditor->wordWrap());
        QCOMPARE(form.mmoEditor->font().name, QStringLiteral("MS Sans Serif"));
        QCOMPARE(form.mmoEditor->font().size, 10);
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void onlyTheFirstArgumentCounts()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        const QString path = env.writeFile("a.htm", "<p>a</p>\r\n");
        TfrmEditor form(dialogs, {"OrvikEditor", path, "second.htm", "third.htm"});
        QCOMPARE(form.CommandLineFile, path);
        QCOMPARE(form.tabFileList->count(), 1);
    }

    void altEPicksTheEditPageFromBrowseElseTheEditMenu()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.pgpEditor->setActivePage(form.shtBrowse);
        QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(form.pgpEditor->activePage(), form.shtEdit);
        QVERIFY(!form.menuBar()->activeAction());
        QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
        QCOMPARE(form.menuBar()->activeAction(), form.menuBar()->actions().at(1));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void browserViewIsNotCreatedAtStartup()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.findChildren<QWidget *>("webEngineView").isEmpty());
    }
};

ORVIK_TEST_MAIN(tst_MainWindow)
#include "tst_MainWindow.moc"
