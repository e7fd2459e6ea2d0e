#include "EditorFixture.h"

#include "host/FindDialog.h"
#include "host/PageControl.h"

#include <QAction>
#include <QSignalSpy>

#define ANSWERED(d) QVERIFY2((d).allAnswered(), qPrintable((d).report()))

namespace {

void press(QWidget &at, const QKeySequence &key)
{
    QTest::keyClick(&at, key[0].key(), key[0].keyboardModifiers());
}

} // namespace

// The keys beside the menus, pressed where a user's keyboard is.
class tst_Keys : public QObject
{
    Q_OBJECT

private slots:
    void eachKeyRunsItsCommand_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<QString>("command"); // the action a menu item or the window holds
        QTest::addColumn<QString>("focus");
        const auto row = [](const char *name, QKeyCombination key, const char *command,
                            const char *focus = "mmoEditor") {
            QTest::newRow(name) << QKeySequence(key) << QString::fromLatin1(command)
                                << QString::fromLatin1(focus);
        };
        row("Ctrl+N", Qt::CTRL | Qt::Key_N, "itmNew");
        row("Ctrl+O", Qt::CTRL | Qt::Key_O, "itmOpen");
        row("Ctrl+S", Qt::CTRL | Qt::Key_S, "itmSave");
        row("Ctrl+S from the file list", Qt::CTRL | Qt::Key_S, "itmSave", "FileList");
        row("Ctrl+Shift+S", Qt::CTRL | Qt::SHIFT | Qt::Key_S, "itmSaveAs");
        row("Ctrl+W", Qt::CTRL | Qt::Key_W, "itmClose");
        row("Ctrl+Q", Qt::CTRL | Qt::Key_Q, "itmExit");
        row("Ctrl+F4", Qt::CTRL | Qt::Key_F4, "itmExit");
        row("Ctrl+F", Qt::CTRL | Qt::Key_F, "Find1");
        row("Ctrl+H", Qt::CTRL | Qt::Key_H, "Replace1");
        // F3, Ctrl+Tab, Ctrl+Z and the rest: by what they do, below.
    }
    void eachKeyRunsItsCommand()
    {
        QFETCH(QKeySequence, key);
        QFETCH(QString, command);
        QFETCH(QString, focus);
        EditorFixture x;
        QVERIFY(QTest::qWaitForWindowActive(x.form.get()));
        // The dialogs the commands put up, cancelled.
        if (command == "itmOpen")
            x.dialogs.expectOpen(std::nullopt);
        if (command == "itmSave" || command == "itmSaveAs")
            x.dialogs.expectSave(std::nullopt);
        QWidget &at = x.control(focus.toLatin1().constData());
        at.setFocus();
        QSignalSpy ran(&x.control<QAction>(command.toLatin1().constData()), &QAction::triggered);
        press(at, key);
        QCOMPARE(ran.count(), 1);
        ANSWERED(x.dialogs);
    }

    void f3FindsNextWithTheFindDialogsText()
    {
        EditorFixture x;
        QVERIFY(QTest::qWaitForWindowActive(x.form.get()));
        auto &dlgFind = x.control<FindDialog>("dlgFind");
        QWidget &text = x.control("mmoEditor");
        // Nothing to look for yet: F3 asks for it.
        press(text, Qt::Key_F3);
        QTRY_VERIFY(dlgFind.isVisible());
        dlgFind.close();
        QTRY_VERIFY(x.form->isActiveWindow());

        x.open(x.file("a.htm", "abc ABC abc"));
        dlgFind.setFindText("abc");
        for (int start : {0, 4, 8, 8}) {
            press(text, Qt::Key_F3);
            QCOMPARE(x.editor().selStart(), start);
            QCOMPARE(x.editor().selLength(), 3);
        }
        QVERIFY(!dlgFind.isVisible());
        ANSWERED(x.dialogs);
    }

    // Ctrl+Tab and Ctrl+Shift+Tab go round the tabs as clicks on them do, each document keeping
    // its text and mark; undo and redo reach only the document in view, through its own history.
    // Behind the Browse page none of these keys does anything.
    void tabAndUndoKeysKeepToTheDocumentInView()
    {
        EditorFixture x;
        QVERIFY(QTest::qWaitForWindowActive(x.form.get()));
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.type("x");
        x.open(x.file("b.htm", "b\r\n"));
        x.open(x.file("c.htm", "c\r\n"));
        QWidget &text = x.control("mmoEditor");
        press(text, Qt::CTRL | Qt::Key_Z); // the load is no edit: nothing to take back
        x.type("y");
        press(text, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(x.editorText(), QByteArray("c\r\n"));
        press(text, Qt::CTRL | Qt::Key_Y);
        QCOMPARE(x.editorText(), QByteArray("yc\r\n"));

        press(text, Qt::CTRL | Qt::Key_Tab);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
        QCOMPARE(x.editorText(), QByteArray("xa\r\n"));
        press(text, Qt::CTRL | Qt::Key_Z);
        QCOMPARE(x.editorText(), QByteArray("a\r\n"));
        press(text, Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab);
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm", "* - c.htm"}));
        QCOMPARE(x.editorText(), QByteArray("yc\r\n"));

        x.setPage("shtBrowse");
        for (QKeyCombination key : {Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::Key_Z})
            press(x.control("pgpEditorBar"), key);
        QCOMPARE(x.tabIndex(), 2);
        QCOMPARE(x.editorText(), QByteArray("yc\r\n"));
        ANSWERED(x.dialogs);
    }
};

ORVIK_TEST_MAIN(tst_Keys)
#include "tst_Keys.moc"
