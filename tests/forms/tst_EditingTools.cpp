#include "EditorFixture.h"

#include "host/FindDialog.h"
#include "host/SettingsStore.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QByteArray clipText = "h\xc3\xa9llo w\xc3\xb6rld"_ba;
const char *focusError = "Cannot focus a disabled or invisible window.";

// The main window with one document whose selection the tests set and read.
struct Editor : EditorFixture
{
    // Text in the editor as an opened, unchanged document, and a selection (start, length).
    void load(const QByteArray &text, const QList<int> &selected = {0, 0})
    {
        open(file(u"page.htm"_s, text));
        editor().setSelStart(selected[0]);
        editor().setSelLength(selected[1]);
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

// A dialog's button on text with a selection (start, length); selection, text and message after.
struct SearchRow
{
    QByteArray button, text;
    QString search, replacement;
    QList<int> selected, after;
    QByteArray result;
    QString message {}; // none when empty
};

// A menu item on clipText; the clipboard's text before ("<image>": a picture only) and after.
struct ClipRow
{
    QString item, before, after;
    QList<int> selected;
    QByteArray result;
};

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
    // Find Next, Replace and Replace All from the dialogs.
    void searchCommands_data()
    {
        QTest::addColumn<SearchRow>("row");
        const auto add = [](const char *name, const QByteArray &button, const QByteArray &text,
                            const QString &search, const QString &replacement, QList<int> selected,
                            QList<int> after, const QByteArray &result, QString message = {}) {
            QTest::newRow(name) << SearchRow {button,   text,  search, replacement,
                                              selected, after, result, message};
        };
        const QList<int> none {0, 0};
        const char *find = "FindNext", *once = "Replace", *all = "ReplaceAll";
        add("find: no wrap-around", find, "abc ABC", "abc", "", {4, 3}, {4, 3}, "abc ABC");
        add("find: caret, from the top", find, "abc abc", "abc", "", {5, 0}, {0, 3}, "abc abc");
        add("find: after the selection", find, "ab ab ab", "AB", "", {1, 4}, {6, 2}, "ab ab ab");

        add("caret, from the top", once, "abc ABC abc", "abc", "x", {5, 0}, {1, 0}, "x ABC abc");
        add("the selected one", once, "abc ABC abc", "abc", "x", {4, 3}, {5, 0}, "abc x abc");
        add("none from the selection on", once, "abc xyz", "abc", "x", {4, 3}, {4, 3}, "abc xyz",
            "Text not found");
        const QByteArray e = "\xc3\xa9", ete = e + "t" + e; // é, été
        add("accented letters fold, counted in characters", once, ete + " \xc3\x89T\xc3\x89!", ete,
            "ete", {2, 4}, {7, 0}, ete + " ete!");

        add("all: none from the selection on", all, "ab cd", "ab", "x", {3, 2}, {3, 2}, "ab cd");
        add("all: before the selection too", all, "a1a2a3", "a", "b", {2, 2}, {5, 0}, "b1b2b3");
        add("all: empty search text", all, "abc", "", "x", none, none, "abc");
        // When the replacement holds the search text, each original occurrence is replaced once.
        add("all: holds it, mid-text", all, "banana", "a", "aa", {3, 1}, {3, 0}, "baanaanaa");
        add("all: holds it in other case", all, "Banana", "a", "A", none, {6, 0}, "BAnAnA");
        // Otherwise occurrences that replacements form are replaced too, as a repetition would.
        add("all: four spaces shrink to one", all, "a    b", "  ", " ", none, {2, 0}, "a b");
        const QByteArray a19 = QByteArray(19, 'a');
        add("all: a self-feeding rewrite ends", all, a19 + "b", "ab", "bba", none, {21, 0},
            a19.chopped(1) + "bba");
        // A change that begins inside a character is made from its first byte.
        add("all: only a last byte differs", all, "x" + e + "y " + e + "\r\n\xe2\x82\xac", e,
            "\xc3\xa8", none, {5, 0}, "x\xc3\xa8y \xc3\xa8\r\n\xe2\x82\xac");
        // 8-bit text is searched and replaced by its windows-1252 characters.
        add("all: 8-bit text", all, "caf\xc9\x80 CAF\xe9\x80 \x81", "caf\xc3\xa9\xe2\x82\xac",
            "\xe2\x80\x9cth\xc3\xa9\xe2\x80\x9d", none, {11, 0},
            "\x93th\xe9\x94 \x93th\xe9\x94 \x81");

        // A found occurrence needs the editor's focus, which it refuses on the Browse page.
        for (const char *button : {find, once, all})
            QTest::addRow("browsing: %s", button)
                << SearchRow {button, "abcb", "b", "X", {1, 0}, {1, 0}, "abcb", focusError};
    }
    void searchCommands()
    {
        QFETCH(SearchRow, row);
        Editor e;
        e.load(row.text, row.selected);
        FindDialog *dlg = &e.control<FindDialog>(row.button == "FindNext" ? "dlgFind"
                                                                          : "dlgReplace");
        dlg->Execute();
        dlg->setFindText(row.search);
        dlg->setReplaceText(row.replacement);
        if (row.message == QLatin1String(focusError))
            e.setPage("shtBrowse");
        press(dlg, row.button.constData());
        QCOMPARE(e.editor().bytes(), row.result);
        QCOMPARE(e.selection(), row.after);
        QCOMPARE(e.markedChanged(), row.result != row.text);
        QCOMPARE(e.dialogs.questions + e.dialogs.messages + e.dialogs.errors,
                 row.message.isEmpty() ? QStringList() : QStringList {row.message});
        // One undo step brings back every byte, and loading was no step.
        if (row.result != row.text)
            e.scintilla().undo();
        QCOMPARE(e.editor().bytes(), row.text);
        QVERIFY(!e.scintilla().isUndoAvailable());
    }

    // Both dialogs are modeless and keep their state when closed. Each searches for its own
    // text; Match case, Whole word and Up are kept but not consulted.
    void dialogsKeepTheirStateButIgnoreTheChoices()
    {
        Editor e;
        e.load("ABC abcdef");
        FindDialog *find = &e.control<FindDialog>("dlgFind"),
                   *replace = &e.control<FindDialog>("dlgReplace");
        e.choose("Find1");
        e.choose("Replace1");
        QVERIFY(find->isVisible() && replace->isVisible() && !find->isModal());
        for (const char *choice : {"MatchCase", "WholeWord", "Up"})
            press(find, choice);
        QLineEdit *findWhat = find->findChild<QLineEdit *>(u"FindWhat"_s);
        QTest::keyClicks(findWhat, u"abc"_s);
        replace->setFindText(u"def"_s);
        press(find, "Cancel");
        QTest::keyClick(replace, Qt::Key_Escape);
        QVERIFY(!find->isVisible() && !replace->isVisible());
        e.choose("Find1");
        e.choose("Replace1");
        QCOMPARE(find->Options(), TFindOptions(frMatchCase | frWholeWord));
        QTest::keyClick(findWhat, Qt::Key_Return); // Enter is Find Next
        QCOMPARE(e.selection(), QList<int>({0, 3}));
        QTest::keyClick(findWhat, Qt::Key_Return);
        QCOMPARE(e.selection(), QList<int>({4, 3}));
        press(replace, "FindNext");
        QCOMPARE(e.selection(), QList<int>({7, 3}));

        // Opening an open dialog brings that same dialog to the front.
        e.f().activateWindow();
        e.choose("Find1");
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(find));
        // A hit hands the keyboard to the text, so that typing replaces it; the dialog stays open.
        e.editor().setSelStart(0);
        QTest::keyClick(findWhat, Qt::Key_Return);
        QTRY_COMPARE(QApplication::activeWindow(), &e.f());
        QTest::keyClicks(QApplication::focusWidget(), u"2"_s);
        QCOMPARE(e.editor().bytes(), "2 abcdef");
        QVERIFY(find->isVisible());
    }

    // The Edit menu's items, and the pop-up menu's (these while browsing, which needs no focus).
    void clipboardCommands_data()
    {
        QTest::addColumn<ClipRow>("row");
        const auto add = [](const char *name, const QString &item, const QString &before,
                            const QString &after, QList<int> selected, const QByteArray &result) {
            QTest::newRow(name) << ClipRow {item, before, after, selected, result};
        };
        const QString old = u"old"_s, withNul = u"xy"_s + QChar() + u"z"_s,
                      euro = u"\u00e9\u20ac"_s;
        add("copy", "itmFileMenuCopy", old, u"\u00e9llo"_s, {1, 4}, clipText);
        add("cut", "itmFileMenuCut", old, u"w\u00f6rld"_s, {6, 5}, "h\xc3\xa9llo ");
        add("copy without selection", "itmFileMenuCopy", old, old, {2, 0}, clipText);
        add("cut without selection", "itmFileMenuCut", old, old, {2, 0}, clipText);
        add("paste up to a NUL", "itmFileMenuPaste", withNul, withNul, {1, 2},
            "hxylo w\xc3\xb6rld");
        add("paste non-ASCII", "itmFileMenuPaste", euro, euro, {0, 1},
            "\xc3\xa9\xe2\x82\xac\xc3\xa9llo w\xc3\xb6rld");
        add("paste a picture: nothing", "itmFileMenuPaste", u"<image>"_s, {}, {1, 2}, clipText);
        add("pop-up copy", "itmPopMenuCopy", old, u"h\u00e9llo"_s, {0, 5}, clipText);
        add("pop-up cut", "itmPopMenuCut", old, u" w\u00f6rld"_s, {5, 6}, "h\xc3\xa9llo");
        add("pop-up paste", "itmPopMenuPaste", old, old, {6, 5}, "h\xc3\xa9llo old");
    }
    void clipboardCommands()
    {
        QFETCH(ClipRow, row);
        Editor e;
        e.load(clipText, row.selected);
        if (row.item.startsWith(u"itmPop"))
            e.setPage("shtBrowse");
        QClipboard *board = QGuiApplication::clipboard();
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        if (row.before == u"<image>")
            board->setImage(picture);
        else
            board->setText(row.before);
        e.choose(qPrintable(row.item));
        QCOMPARE(e.editor().bytes(), row.result);
        QCOMPARE(board->text(), row.after);
        QCOMPARE(e.markedChanged(), row.result != clipText);
        ANSWERED(e.dialogs);
    }

    // A cancelled choice changes and stores nothing. A chosen font is applied and its four
    // values stored at once, bold and italic as 1 or 0. A failing write names the value and
    // leaves the font applied.
    void fontIsAppliedAndStored()
    {
        Editor e;
        const EditorFont initial = e.editor().font();
        e.dialogs.expectFont(std::nullopt);
        e.choose("itmFont");
        QCOMPARE(e.editor().font(), initial);
        QVERIFY_THROWS_EXCEPTION(std::exception, storedFont(e.env.settingsFile()));
        for (const EditorFont &chosen : {EditorFont {u"DejaVu Sans"_s, 12, true, false},
                                         EditorFont {u"Liberation Mono"_s, 11, false, true}}) {
            const EditorFont before = e.editor().font();
            e.dialogs.expectFont(chosen);
            e.choose("itmFont");
            QCOMPARE(e.dialogs.fontRequests.last(), before);
            QCOMPARE(e.editor().font(), chosen);
            QCOMPARE(storedFont(e.env.settingsFile()), chosen);
        }
        // A folder where the settings file should be, which is never replaced.
        QFile::remove(e.env.settingsFile());
        QVERIFY(QDir().mkpath(e.env.settingsFile()));
        e.dialogs.expectFont(initial);
        e.choose("itmFont");
        QCOMPARE(e.editor().font(), initial);
        QCOMPARE(e.dialogs.errors, QStringList({"Failed to set data for 'Bold'"}));
    }

    // The check mark tells whether lines wrap, at the start and after each toggle.
    void wordWrapFollowsItsCheckMark()
    {
        Editor e;
        const bool wrapped = e.control<QAction>("itm_wordwrap").isChecked();
        for (bool expected : {wrapped, !wrapped, wrapped}) {
            QCOMPARE(e.control<QAction>("itm_wordwrap").isChecked(), expected);
            QCOMPARE(e.scintilla().wrapMode(),
                     expected ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
            e.choose("itm_wordwrap");
        }
    }
};

ORVIK_TEST_MAIN(tst_EditingTools)
#include "tst_EditingTools.moc"
