#include "EditorFixture.h"

#include "host/FindDialog.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/SettingsStore.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The main window with one document whose selection the tests set and read.
struct Editor : EditorFixture
{
    EditSurface &editor() { return *form->mmoEditor; }
    // Text in the editor as a saved document, the caret at the top.
    void load(const QByteArray &text)
    {
        editor().setLinesText(text);
        form->DocumentList->Items(0)->Saved = true;
        form->tabFileList->setTab(0, TfrmEditor::TabCaption(*form->DocumentList->Items(0)));
    }
    void select(int start, int length)
    {
        editor().setSelStart(start);
        editor().setSelLength(length);
    }
    QList<int> selection() { return {editor().selStart(), editor().selLength()}; }
    bool markedChanged()
    {
        return !form->DocumentList->Items(0)->Saved && tabs().value(0).startsWith(u"* - "_s);
    }
};

void press(QWidget *dialog, const char *button)
{
    auto *b = dialog->findChild<QAbstractButton *>(QLatin1String(button));
    QVERIFY2(b, button);
    b->click();
}

// after: the selection afterwards; message: the one shown, if any.
void addRow(const char *name, const char *button, const QByteArray &text, const char *search,
            const char *replacement, const QList<int> &selected, const QByteArray &result,
            const QList<int> &after, const char *message = "")
{
    QTest::newRow(name) << text << QString::fromUtf8(search) << QString::fromUtf8(replacement)
                        << selected << QByteArray(button) << result << after
                        << QString::fromUtf8(message);
}

// The font as the settings hold it; a missing value is an error.
EditorFont storedFont(const QString &file)
{
    SettingsStore store(file);
    store.OpenKey(u"Orvik\\Pagloom\\"_s, true);
    return {store.ReadString(u"FontName"_s), store.ReadInteger(u"FontSize"_s),
            store.ReadInteger(u"Bold"_s) == 1, store.ReadInteger(u"Italic"_s) == 1};
}

} // namespace

class tst_EditingTools : public QObject
{
    Q_OBJECT

private slots:
    // Find Next (started by Enter in its field), Replace and Replace All from the dialogs.
    void searchCommands_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QList<int>>("selected"); // start, length
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<QList<int>>("after"); // the selection afterwards
        QTest::addColumn<QString>("message");
        const QList<int> none{0, 0};
        const char *find = "FindNext", *once = "Replace", *all = "ReplaceAll";
        const char *notFound = "Text not found";
        addRow("find: no wrap-around", find, "abc ABC", "abc", "", {4, 3}, "abc ABC", {4, 3});
        addRow("find: caret alone, from the top", find, "abc abc", "abc", "", {5, 0}, "abc abc",
               {0, 3});
        addRow("find: after a selection that is none", find, "abc abc abc", "ABC", "", {1, 5},
               "abc abc abc", {8, 3});
        addRow("find: accented letters fold, counted in characters", find,
               "\xc3\x89T\xc3\x89, \xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9", "", {0, 3},
               "\xc3\x89T\xc3\x89, \xc3\xa9t\xc3\xa9", {5, 3});
        addRow("find: 8-bit text folds Latin-1", find, "caf\xc9 CAF\xe9", "caf\xc3\xa9", "", none,
               "caf\xc9 CAF\xe9", {0, 4});
        addRow("find: empty search text", find, "abc", "", "", {1, 1}, "abc", {1, 1});

        addRow("first from the top", once, "abc ABC abc", "abc", "x", none, "x ABC abc", {1, 0});
        addRow("the selected one", once, "abc ABC abc", "abc", "x", {4, 3}, "abc x abc", {5, 0});
        addRow("one starting inside the selection", once, "xxabcxx", "ABC", "Y", {1, 3}, "xxYxx",
               {3, 0});
        addRow("none from the selection on", once, "abc xyz", "abc", "x", {4, 3}, "abc xyz",
               {4, 3}, notFound);
        addRow("empty search text", once, "abc", "", "x", none, "abc", none, notFound);
        addRow("counted in characters", once, "\xc3\xa9t\xc3\xa9 \xc3\x89T\xc3\x89!",
               "\xc3\xa9t\xc3\xa9", "ete", {2, 4}, "\xc3\xa9t\xc3\xa9 ete!", {7, 0});

        addRow("all: banana", all, "banana", "a", "o", none, "bonono", {6, 0});
        addRow("all: none from the selection on, silently", all, "ab ab cd", "ab", "x", {6, 2},
               "ab ab cd", {6, 2});
        addRow("all: those before the selection too", all, "a1 a2 a3", "a", "b", {3, 2},
               "b1 b2 b3", {7, 0});
        addRow("all: empty search text", all, "abc", "", "x", none, "abc", none);
        // When the replacement holds the search text, each original occurrence is replaced once.
        addRow("all: replacement holds the search text", all, "banana", "a", "aa", none,
               "baanaanaa", {9, 0});
        addRow("all: holds it in other case", all, "Banana", "a", "A", none, "BAnAnA", {6, 0});
        // Otherwise occurrences that replacements form are replaced too, as a repetition would.
        addRow("all: four spaces shrink to one", all, "a    b", "  ", " ", none, "a b", {2, 0});
        addRow("all: a rewrite that feeds itself ends", all, QByteArray(19, 'a') + "b", "ab",
               "bba", none, QByteArray(18, 'a') + "bba", {21, 0});
        // A change that begins inside a character is made from its first byte.
        addRow("all: only a last byte differs", all, "x\xc3\xa9y \xc3\xa9\r\n\xe2\x82\xac",
               "\xc3\xa9", "\xc3\xa8", none, "x\xc3\xa8y \xc3\xa8\r\n\xe2\x82\xac", {5, 0});
        addRow("all: accented letters fold", all, "\xc3\x89t\xc3\xa9 \xc3\x89T\xc3\x89",
               "\xc3\xa9t\xc3\xa9", "summer", none, "summer summer", {13, 0});
        addRow("all: 8-bit text", all, "caf\xc9 CAF\xe9 \x01", "caf\xc3\xa9", "th\xc3\xa9", none,
               "th\xe9 th\xe9 \x01", {7, 0});
    }
    void searchCommands()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QList<int>, selected);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, result);
        QFETCH(QList<int>, after);
        QFETCH(QString, message);
        Editor e;
        e.load(text);
        const bool find = button == "FindNext";
        FindDialog *dlg = find ? e.f().dlgFind : e.f().dlgReplace;
        (find ? e.f().Find1 : e.f().Replace1)->Click();
        dlg->setFindText(search);
        dlg->setReplaceText(replacement);
        e.select(selected[0], selected[1]);
        if (!message.isEmpty())
            e.dialogs.expectMessage(message);
        if (find)
            QTest::keyClick(dlg->findChild<QLineEdit *>(u"FindWhat"_s), Qt::Key_Return);
        else
            press(dlg, button.constData());
        QCOMPARE(e.editor().bytes(), result);
        QCOMPARE(e.selection(), after);
        QCOMPARE(e.markedChanged(), result != text);
        QVERIFY(dlg->isVisible());
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
        // One undo step brings back every byte, and loading was no step.
        if (result != text)
            e.editor().widget()->undo();
        QCOMPARE(e.editor().bytes(), text);
        QVERIFY(!e.editor().widget()->isUndoAvailable());
    }

    // Both dialogs are modeless and keep their state when closed. Each searches for its own
    // text; Match case, Whole word and Up are kept but not consulted.
    void dialogsKeepTheirStateButIgnoreTheChoices()
    {
        Editor e;
        e.load("ABC abcdef");
        FindDialog *find = e.f().dlgFind, *replace = e.f().dlgReplace;
        e.f().Find1->Click();
        e.f().Replace1->Click();
        QVERIFY(find->isVisible() && replace->isVisible() && !find->isModal());
        for (const char *choice : {"MatchCase", "WholeWord", "Up"})
            press(find, choice);
        QTest::keyClicks(find->findChild<QLineEdit *>(u"FindWhat"_s), u"abc"_s);
        replace->setFindText(u"def"_s);
        replace->setReplaceText(u"new"_s);
        press(find, "Cancel");
        QTest::keyClick(replace, Qt::Key_Escape);
        QVERIFY(!find->isVisible() && !replace->isVisible());
        e.f().Find1->Click();
        e.f().Replace1->Click();
        QCOMPARE(find->Options(), TFindOptions(frMatchCase | frWholeWord));
        QCOMPARE(replace->ReplaceText(), u"new"_s);
        press(find, "FindNext");
        QCOMPARE(e.selection(), QList<int>({0, 3}));
        press(find, "FindNext");
        QCOMPARE(e.selection(), QList<int>({4, 3}));
        press(replace, "FindNext");
        QCOMPARE(e.selection(), QList<int>({7, 3}));

        // Opening an open dialog brings that same dialog to the front.
        e.f().activateWindow();
        e.f().Find1->Click();
        QCOMPARE(e.f().findChildren<FindDialog *>().size(), 2);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(find));
    }

    // A found occurrence needs the editor's focus, which it refuses while the Browse page is
    // in front: the error is reported and nothing changes.
    void browsePageRefusesTheFocus()
    {
        const QString focusError = u"Cannot focus a disabled or invisible window."_s;
        for (const QByteArray button : {"FindNext", "Replace", "ReplaceAll"}) {
            Editor e;
            e.load("abcb");
            e.select(1, 0);
            e.f().pgpEditor->setActivePage(e.f().shtBrowse);
            FindDialog *dlg = button == "FindNext" ? e.f().dlgFind : e.f().dlgReplace;
            dlg->setFindText(u"b"_s);
            dlg->setReplaceText(u"X"_s);
            dlg->Execute();
            e.dialogs.expectError(focusError);
            press(dlg, button.constData());
            QCOMPARE(e.editor().bytes(), "abcb"_ba);
            QCOMPARE(e.selection(), QList<int>({1, 0}));
            QVERIFY(!e.markedChanged());
            QCOMPARE(e.dialogs.errors, QStringList{focusError});
            QVERIFY2(e.dialogs.allAnswered(), qPrintable(button + e.dialogs.report()));
        }
    }

    // The Edit menu's items, and the pop-up menu's (these while browsing, which needs no focus).
    void clipboardCommands_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("before"); // clipboard text; "<image>", "<empty>": no text
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("clipboard"); // afterwards
        QTest::addColumn<QByteArray>("result");
        const QByteArray text = "h\xc3\xa9llo w\xc3\xb6rld"_ba;
        const QString old = u"old"_s, withNul = u"xy"_s + QChar() + u"z"_s;
        const auto row = [](const char *name, const char *item, const QString &before,
                            const QList<int> &selected, const QString &after,
                            const QByteArray &result) {
            QTest::newRow(name) << QString::fromLatin1(item) << before << selected << after
                                << result;
        };
        row("copy", "itmFileMenuCopy", old, {1, 4}, u"\u00e9llo"_s, text);
        row("cut", "itmFileMenuCut", old, {6, 5}, u"w\u00f6rld"_s, "h\xc3\xa9llo "_ba);
        row("copy without selection", "itmFileMenuCopy", old, {2, 0}, old, text);
        row("cut without selection", "itmFileMenuCut", old, {2, 0}, old, text);
        row("paste", "itmFileMenuPaste", u"xy"_s, {1, 2}, u"xy"_s, "hxylo w\xc3\xb6rld"_ba);
        row("paste up to the first NUL", "itmFileMenuPaste", withNul, {1, 2}, withNul,
            "hxylo w\xc3\xb6rld"_ba);
        row("paste empty text", "itmFileMenuPaste", u""_s, {1, 2}, u""_s, "hlo w\xc3\xb6rld"_ba);
        row("paste non-ASCII", "itmFileMenuPaste", u"\u00e9\u20ac"_s, {0, 1}, u"\u00e9\u20ac"_s,
            "\xc3\xa9\xe2\x82\xac\xc3\xa9llo w\xc3\xb6rld"_ba);
        row("paste a picture: nothing", "itmFileMenuPaste", u"<image>"_s, {1, 2}, {}, text);
        row("paste from an empty clipboard: nothing", "itmFileMenuPaste", u"<empty>"_s, {1, 2},
            {}, text);
        row("pop-up copy", "itmPopMenuCopy", old, {0, 5}, u"h\u00e9llo"_s, text);
        row("pop-up cut", "itmPopMenuCut", old, {5, 6}, u" w\u00f6rld"_s, "h\xc3\xa9llo"_ba);
        row("pop-up paste", "itmPopMenuPaste", old, {6, 5}, old, "h\xc3\xa9llo old"_ba);
    }
    void clipboardCommands()
    {
        QFETCH(QString, item);
        QFETCH(QString, before);
        QFETCH(QList<int>, selected);
        QFETCH(QString, clipboard);
        QFETCH(QByteArray, result);
        Editor e;
        const QByteArray text = "h\xc3\xa9llo w\xc3\xb6rld"_ba;
        e.load(text);
        const bool browsing = item.startsWith(u"itmPop");
        if (browsing)
            e.f().pgpEditor->setActivePage(e.f().shtBrowse);
        QClipboard *board = QGuiApplication::clipboard();
        if (before == u"<image>") {
            QImage picture(4, 4, QImage::Format_RGB32);
            picture.fill(Qt::red);
            board->setImage(picture);
        } else if (before == u"<empty>") {
            board->clear();
        } else {
            board->setText(before);
        }
        e.select(selected[0], selected[1]);
        e.f().findChild<QAction *>(item)->trigger();
        QCOMPARE(e.editor().bytes(), result);
        QCOMPARE(board->text(), clipboard);
        QCOMPARE(e.markedChanged(), result != text);
        QCOMPARE(e.f().pgpEditor->activePage() == e.f().shtBrowse, browsing);
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    // A cancelled choice changes and stores nothing. A chosen font is applied and its four
    // values stored at once, so the next start shows it; bold and italic are stored as 1 or 0.
    void fontIsStoredAndBackAtTheNextStart()
    {
        Editor e;
        const EditorFont initial = e.editor().font();
        e.dialogs.expectFont(std::nullopt);
        e.f().itmFont->action()->trigger();
        QCOMPARE(e.editor().font(), initial);
        QVERIFY_THROWS_EXCEPTION(std::exception, storedFont(e.env.settingsFile()));
        for (const EditorFont &chosen : {EditorFont{u"DejaVu Sans"_s, 12, true, true},
                                         EditorFont{u"Liberation Mono"_s, 11, false, false},
                                         EditorFont{u"DejaVu Serif"_s, 9, false, true}}) {
            const EditorFont before = e.editor().font();
            e.dialogs.expectFont(chosen);
            e.f().itmFont->action()->trigger();
            QCOMPARE(e.dialogs.fontRequests.last(), before);
            QCOMPARE(e.editor().font(), chosen);
            QCOMPARE(storedFont(e.env.settingsFile()), chosen);
            ScriptedDialogs dialogs;
            TfrmEditor next(dialogs, {"OrvikEditor"});
            QCOMPARE(next.mmoEditor->font(), chosen);
        }
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void failingFontWriteKeepsTheFontAndNamesTheValue()
    {
        Editor e;
        // A folder where the settings file should be, which is never replaced.
        QFile::remove(e.env.settingsFile());
        QVERIFY(QDir().mkpath(e.env.settingsFile()));
        const EditorFont chosen{u"DejaVu Sans"_s, 13, true, false};
        e.dialogs.expectFont(chosen);
        e.dialogs.expectError(u"Failed to set data for 'Bold'"_s);
        e.f().itmFont->action()->trigger();
        QCOMPARE(e.editor().font(), chosen);
        QCOMPARE(e.dialogs.errors, QStringList({"Failed to set data for 'Bold'"}));
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    // The check mark tells whether lines wrap, at the start and after each toggle.
    void wordWrapFollowsItsCheckMark()
    {
        Editor e;
        e.load("a long line that may wrap");
        const bool wrapped = e.f().itm_wordwrap->Checked();
        for (bool expected : {wrapped, !wrapped, wrapped}) {
            QCOMPARE(e.f().itm_wordwrap->Checked(), expected);
            QCOMPARE(e.editor().widget()->wrapMode(),
                     expected ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
            e.f().itm_wordwrap->action()->trigger();
        }
        QVERIFY(!e.markedChanged());
    }
};

ORVIK_TEST_MAIN(tst_EditingTools)
#include "tst_EditingTools.moc"
