#include "TestEnvironment.h"

#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/FindDialog.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"
#include "host/SettingsStore.h"
#include "host/TabStrip.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The main window shown offscreen, as the user sees it, with its own settings directories.
struct Editor
{
    TestEnvironment env;
    ScriptedDialogs dialogs;
    TfrmEditor form{dialogs, {"OrvikEditor"}};

    Editor()
    {
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("main window not exposed");
    }

    EditSurface &editor() { return *form.mmoEditor; }

    // Text in the editor as a saved document, the caret at the top.
    void load(const QByteArray &text)
    {
        editor().setLinesText(text);
        form.DocumentList->Items(0)->Saved = true;
        form.tabFileList->setTab(0, TfrmEditor::TabCaption(*form.DocumentList->Items(0)));
    }
    void select(int start, int length)
    {
        editor().setSelStart(start);
        editor().setSelLength(length);
    }
    QList<int> selection() { return {editor().selStart(), editor().selLength()}; }
    bool markedChanged()
    {
        return !form.DocumentList->Items(0)->Saved
               && form.tabFileList->tab(0).startsWith(QStringLiteral("* - "));
    }
};

void enter(FindDialog *dialog, const char *field, const QString &text)
{
    auto *edit = dialog->findChild<QLineEdit *>(QLatin1String(field));
    QVERIFY(edit);
    edit->clear();
    // Typed where the test keyboard has the keys; line breaks and other letters are pasted.
    bool typeable = true;
    for (QChar c : text)
        typeable = typeable && c.unicode() >= 0x20 && c.unicode() < 0x7F;
    if (typeable)
        QTest::keyClicks(edit, text);
    else
        edit->insert(text);
    QCOMPARE(edit->text(), text);
}

void press(QWidget *dialog, const char *button)
{
    auto *b = dialog->findChild<QAbstractButton *>(QLatin1String(button));
    QVERIFY2(b, button);
    b->click();
}

QByteArray utf8(const char *text)
{
    return QByteArray(text);
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class tst_EditingTools : public QObject
{
    Q_OBJECT

private slots:
    void findNext_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<int>>("selected"); // start, length before the first press
        QTest::addColumn<QList<int>>("after");    // start, length after each press

        QTest::newRow("each occurrence in turn, then nothing")
            << utf8("abc ABC abc") << "abc" << QList<int>{0, 0}
            << QList<int>{0, 3, 4, 3, 8, 3, 8, 3};
        QTest::newRow("inside a longer word") << utf8("concatenate") << "cat" << QList<int>{0, 0}
                                              << QList<int>{3, 3, 3, 3};
        QTest::newRow("caret alone: from the top") << utf8("abc abc") << "abc"
                                                   << QList<int>{5, 0} << QList<int>{0, 3};
        QTest::newRow("from the end of a selection that is no occurrence")
            << utf8("abc abc abc") << "ABC" << QList<int>{1, 5} << QList<int>{8, 3};
        QTest::newRow("positions count characters")
            << utf8("\xc3\xa9\xc3\xa9\xc3\xa9 abc") << "ABC" << QList<int>{0, 0}
            << QList<int>{4, 3};
        QTest::newRow("accented letters fold") << utf8("\xc3\x89T\xc3\x89, \xc3\xa9t\xc3\xa9")
                                               << QString::fromUtf8("\xc3\xa9t\xc3\xa9")
                                               << QList<int>{0, 0} << QList<int>{0, 3, 5, 3};
        QTest::newRow("Cyrillic folds") << utf8("\xd0\x9c\xd0\xb8\xd1\x80 \xd0\xbc\xd0\xb8\xd1\x80")
                                        << QString::fromUtf8("\xd0\x9c\xd0\x98\xd0\xa0")
                                        << QList<int>{0, 0} << QList<int>{0, 3, 4, 3};
        QTest::newRow("8-bit text folds Latin-1 letters")
            << QByteArray("caf\xc9 CAF\xe9") << QString::fromUtf8("caf\xc3\xa9")
            << QList<int>{0, 0} << QList<int>{0, 4, 5, 4};
        QTest::newRow("nothing found: selection kept") << utf8("abc") << "x" << QList<int>{1, 1}
                                                       << QList<int>{1, 1};
        QTest::newRow("empty search text finds nothing") << utf8("abc") << "" << QList<int>{1, 0}
                                                         << QList<int>{1, 0};
    }
    void findNext()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, search);
        QFETCH(QList<int>, selected);
        QFETCH(QList<int>, after);
        Editor e;
        e.load(text);
        e.form.Find1->Click();
        enter(e.form.dlgFind, "FindWhat", search);
        e.select(selected[0], selected[1]);
        for (int i = 0; i < after.size(); i += 2) {
            press(e.form.dlgFind, "FindNext");
            QCOMPARE(e.selection(), after.mid(i, 2));
        }
        QCOMPARE(e.editor().bytes(), text);
        QVERIFY(e.form.dlgFind->isVisible());
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void findNextStartsAtTheTopAgainOnceNothingIsSelected()
    {
        Editor e;
        e.load("abc ABC abc");
        e.form.dlgFind->setFindText(QStringLiteral("abc"));
        e.select(8, 3);
        e.form.dlgFindFind();
        QCOMPARE(e.selection(), QList<int>({8, 3}));
        e.select(5, 0); // a click into the text
        e.form.dlgFindFind();
        QCOMPARE(e.selection(), QList<int>({0, 3}));
    }

    void shownChoicesDoNotChangeTheSearch()
    {
        Editor e;
        e.load("ABC abcdef");
        e.form.Find1->Click();
        FindDialog *dlg = e.form.dlgFind;
        QCOMPARE(dlg->Options(), TFindOptions(frDown));
        press(dlg, "MatchCase");
        press(dlg, "WholeWord");
        press(dlg, "Up");
        enter(dlg, "FindWhat", QStringLiteral("abc"));
        press(dlg, "FindNext");
        QCOMPARE(e.selection(), QList<int>({0, 3}));
        press(dlg, "FindNext");
        QCOMPARE(e.selection(), QList<int>({4, 3}));
        QCOMPARE(dlg->Options(), TFindOptions(frMatchCase | frWholeWord | frFindNext));
    }

    void eachDialogSearchesForItsOwnText()
    {
        Editor e;
        e.load("abc def");
        e.form.Find1->Click();
        e.form.Replace1->Click();
        enter(e.form.dlgFind, "FindWhat", QStringLiteral("def"));
        enter(e.form.dlgReplace, "FindWhat", QStringLiteral("abc"));
        press(e.form.dlgFind, "FindNext");
        QCOMPARE(e.selection(), QList<int>({4, 3}));
        e.select(0, 0);
        press(e.form.dlgReplace, "FindNext");
        QCOMPARE(e.selection(), QList<int>({0, 3}));
    }

    void enterPressesFindNext()
    {
        Editor e;
        e.load("concatenate");
        e.form.Find1->Click();
        auto *field = e.form.dlgFind->findChild<QLineEdit *>(QStringLiteral("FindWhat"));
        QTest::keyClicks(field, QStringLiteral("cat"));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(e.selection(), QList<int>({3, 3}));
        QVERIFY(e.form.dlgFind->isVisible());
    }

    void dialogsKeepTheirStateBetweenOpenings()
    {
        Editor e;
        FindDialog *find = e.form.dlgFind;
        FindDialog *replace = e.form.dlgReplace;
        QVERIFY(!find->isVisible());
        QCOMPARE(replace->Options(), TFindOptions(frDown));

        e.form.Find1->Click();
        QVERIFY(find->isVisible());
        QVERIFY(!find->isModal());
        enter(find, "FindWhat", QStringLiteral("needle"));
        press(find, "MatchCase");
        press(find, "Cancel");
        QVERIFY(!find->isVisible());

        e.form.Replace1->Click();
        enter(replace, "FindWhat", QStringLiteral("old"));
        enter(replace, "ReplaceWith", QStringLiteral("new"));
        QTest::keyClick(replace, Qt::Key_Escape);
        QVERIFY(!replace->isVisible());

        e.form.Find1->Click();
        e.form.Replace1->Click();
        QVERIFY(find->isVisible() && replace->isVisible());
        QCOMPARE(find->FindText(), QStringLiteral("needle"));
        QCOMPARE(find->Options(), TFindOptions(frDown | frMatchCase));
        QCOMPARE(replace->FindText(), QStringLiteral("old"));
        QCOMPARE(replace->ReplaceText(), QStringLiteral("new"));
        QCOMPARE(replace->Options(), TFindOptions(frDown));

        // Opening an open dialog brings that same dialog to the front.
        e.form.activateWindow();
        e.form.Find1->Click();
        QCOMPARE(e.form.findChildren<FindDialog *>().size(), 2);
        QVERIFY(find->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(find));
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void replace_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("result");
        QTest::addColumn<int>("caret");       // -1: the selection stays as it was
        QTest::addColumn<QString>("message"); // shown message, or none

        const QList<int> none{0, 0};
        QTest::newRow("first occurrence from the top") << utf8("abc ABC abc") << "abc" << "x"
                                                       << none << "Replace" << utf8("x ABC abc")
                                                       << 1 << "";
        QTest::newRow("the selected occurrence") << utf8("abc ABC abc") << "abc" << "x"
                                                 << QList<int>{4, 3} << "Replace"
                                                 << utf8("abc x abc") << 5 << "";
        QTest::newRow("an occurrence beginning inside the selection")
            << utf8("xxabcxx") << "ABC" << "Y" << QList<int>{1, 3} << "Replace" << utf8("xxYxx")
            << 3 << "";
        QTest::newRow("none from the selection on") << utf8("abc xyz") << "abc" << "x"
                                                    << QList<int>{4, 3} << "Replace"
                                                    << utf8("abc xyz") << -1 << "Text not found";
        QTest::newRow("empty replacement deletes") << utf8("a-b-c") << "-" << "" << none
                                                   << "Replace" << utf8("ab-c") << 1 << "";
        QTest::newRow("empty search text") << utf8("abc") << "" << "x" << none << "Replace"
                                           << utf8("abc") << -1 << "Text not found";
        QTest::newRow("non-ASCII counted in characters")
            << utf8("\xc3\xa9t\xc3\xa9 \xc3\x89T\xc3\x89!")
            << QString::fromUtf8("\xc3\xa9t\xc3\xa9")
            << "ete" << QList<int>{2, 4} << "Replace" << utf8("\xc3\xa9t\xc3\xa9 ete!") << 7 << "";

        QTest::newRow("all: banana") << utf8("banana") << "a" << "o" << none << "ReplaceAll"
                                     << utf8("bonono") << 6 << "";
        QTest::newRow("all: occurrence at the top") << utf8("ab ab") << "ab" << "x" << none
                                                    << "ReplaceAll" << utf8("x x") << 3 << "";
        QTest::newRow("all: selection after the last occurrence")
            << utf8("ab ab cd") << "ab" << "x" << QList<int>{6, 2} << "ReplaceAll"
            << utf8("ab ab cd") << -1 << "";
        QTest::newRow("all: occurrences before the selection too")
            << utf8("a1 a2 a3") << "a" << "b" << QList<int>{3, 2} << "ReplaceAll"
            << utf8("b1 b2 b3") << 7 << "";
        QTest::newRow("all: empty search text") << utf8("abc") << "" << "x" << none
                                                << "ReplaceAll" << utf8("abc") << -1 << "";
        QTest::newRow("all: empty replacement") << utf8("a, b, c") << ", " << "" << none
                                                << "ReplaceAll" << utf8("abc") << 2 << "";
        QTest::newRow("all: replacement holds the search text")
            << utf8("banana") << "a" << "aa" << none << "ReplaceAll" << utf8("baanaanaa") << 9
            << "";
        QTest::newRow("all: replacement holds it in other case")
            << utf8("Banana") << "a" << "A" << none << "ReplaceAll" << utf8("BAnAnA") << 6 << "";
        QTest::newRow("all: holds it, started mid-text")
            << utf8("a-a-a") << "a" << "xa" << QList<int>{2, 1} << "ReplaceAll"
            << utf8("xa-xa-xa") << 2 << "";
        QTest::newRow("all: runs shrink until none is left")
            << utf8("a    b\r\n\r\n\r\n\r\nc") << "  " << " " << none << "ReplaceAll"
            << utf8("a b\r\n\r\n\r\n\r\nc") << 2 << "";
        QTest::newRow("all: blank lines removed") << utf8("a\r\n\r\n\r\n\r\nc") << "\r\n\r\n"
                                                  << "\r\n" << none << "ReplaceAll"
                                                  << utf8("a\r\nc") << 3 << "";
        QTest::newRow("all: deleting forms new occurrences") << utf8("xaabbx") << "ab" << ""
                                                             << none << "ReplaceAll"
                                                             << utf8("xx") << 1 << "";
        QTest::newRow("all: letters sorted by swapping") << utf8("aabb") << "ab" << "ba" << none
                                                         << "ReplaceAll" << utf8("bbaa") << 3
                                                         << "";
        QTest::newRow("all: a rewrite that feeds itself ends")
            << QByteArray(19, 'a') + "b" << "ab" << "bba" << none << "ReplaceAll"
            << QByteArray(18, 'a') + "bba" << 21 << "";
        QTest::newRow("all: accented letters fold")
            << utf8("\xc3\x89t\xc3\xa9 \xc3\x89T\xc3\x89 \xc3\xa9t\xc3\xa9")
            << QString::fromUtf8("\xc3\xa9t\xc3\xa9")
            << "summer" << none << "ReplaceAll" << utf8("summer summer summer") << 20 << "";
        QTest::newRow("all: 8-bit text") << QByteArray("caf\xc9 CAF\xe9 \x01")
                                         << QString::fromUtf8("caf\xc3\xa9")
                                         << QString::fromUtf8("th\xc3\xa9") << none << "ReplaceAll"
                                         << QByteArray("th\xe9 th\xe9 \x01") << 7 << "";
        QTest::newRow("all: non-ASCII replacement")
            << utf8("a b a") << "A" << QString::fromUtf8("\xc3\x9f") << none << "ReplaceAll"
            << utf8("\xc3\x9f b \xc3\x9f") << 5 << "";
    }
    void replace()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, search);
        QFETCH(QString, replacement);
        QFETCH(QList<int>, selected);
        QFETCH(QString, button);
        QFETCH(QByteArray, result);
        QFETCH(int, caret);
        QFETCH(QString, message);
        Editor e;
        e.load(text);
        e.form.Replace1->Click();
        enter(e.form.dlgReplace, "FindWhat", search);
        enter(e.form.dlgReplace, "ReplaceWith", replacement);
        e.select(selected[0], selected[1]);
        if (!message.isEmpty())
            e.dialogs.expectMessage(message);
        press(e.form.dlgReplace, button.toLatin1().constData());
        QCOMPARE(e.editor().bytes(), result);
        QCOMPARE(e.selection(), caret < 0 ? selected : QList<int>({caret, 0}));
        QCOMPARE(e.markedChanged(), result != text);
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void replaceThenReplaceAll()
    {
        Editor e;
        e.load("a a a");
        e.form.Replace1->Click();
        enter(e.form.dlgReplace, "FindWhat", QStringLiteral("a"));
        enter(e.form.dlgReplace, "ReplaceWith", QStringLiteral("b"));
        press(e.form.dlgReplace, "FindNext");
        press(e.form.dlgReplace, "FindNext");
        QCOMPARE(e.selection(), QList<int>({2, 1}));
        press(e.form.dlgReplace, "Replace");
        QCOMPARE(e.editor().bytes(), QByteArray("a b a"));
        press(e.form.dlgReplace, "Replace"); // nothing selected any more: from the top
        QCOMPARE(e.editor().bytes(), QByteArray("b b a"));
        press(e.form.dlgReplace, "ReplaceAll");
        QCOMPARE(e.editor().bytes(), QByteArray("b b b"));
        e.dialogs.expectMessage(QStringLiteral("Text not found"));
        press(e.form.dlgReplace, "Replace");
        QCOMPARE(e.form.dlgReplace->Options() & (frReplace | frReplaceAll | frFindNext),
                 TFindOptions(frReplace));
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void replaceAllUndoesInOneStep()
    {
        Editor e;
        const QByteArray text("<b>one</b>\r\n<B>two</B>\r\n\xc3\xa9<b>");
        e.load(text);
        e.form.dlgReplace->setFindText(QStringLiteral("b>"));
        e.form.dlgReplace->setReplaceText(QStringLiteral("strong>"));
        press(e.form.dlgReplace, "ReplaceAll");
        QCOMPARE(e.editor().bytes(),
                 QByteArray("<strong>one</strong>\r\n<strong>two</strong>\r\n\xc3\xa9<strong>"));
        QVERIFY(e.editor().widget()->isUndoAvailable());
        e.editor().widget()->undo();
        QCOMPARE(e.editor().bytes(), text);
        QVERIFY(!e.editor().widget()->isUndoAvailable());
    }

    void browsePageRefusesTheFocus_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("message");
        const QString focus = QStringLiteral("Cannot focus a disabled or invisible window.");
        QTest::newRow("Find Next, found") << "FindNext" << "b" << focus << "";
        QTest::newRow("Find Next, not found") << "FindNext" << "x" << "" << "";
        QTest::newRow("Replace, found") << "Replace" << "b" << focus << "";
        QTest::newRow("Replace, not found") << "Replace" << "x" << "" << "Text not found";
        QTest::newRow("Replace All, found") << "ReplaceAll" << "b" << focus << "";
        QTest::newRow("Replace All, not found") << "ReplaceAll" << "x" << "" << "";
    }
    void browsePageRefusesTheFocus()
    {
        QFETCH(QString, button);
        QFETCH(QString, search);
        QFETCH(QString, error);
        QFETCH(QString, message);
        Editor e;
        e.load("abcb");
        e.select(1, 0);
        e.form.pgpEditor->setActivePage(e.form.shtBrowse);
        FindDialog *dlg = button == QLatin1String("FindNext") ? e.form.dlgFind : e.form.dlgReplace;
        dlg->setFindText(search);
        dlg->setReplaceText(QStringLiteral("X"));
        dlg->Execute();
        if (!error.isEmpty())
            e.dialogs.expectError(error);
        if (!message.isEmpty())
            e.dialogs.expectMessage(message);
        press(dlg, button.toLatin1().constData());
        QCOMPARE(e.editor().bytes(), QByteArray("abcb"));
        QCOMPARE(e.selection(), QList<int>({1, 0}));
        QVERIFY(!e.markedChanged());
        QCOMPARE(e.dialogs.errors.value(0), error);
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void copyAndCutTakeExactlyTheSelection()
    {
        Editor e;
        e.load("h\xc3\xa9llo w\xc3\xb6rld");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        e.select(1, 4);
        e.form.itmFileMenuCopy->Click();
        QCOMPARE(clipboardText(), QString::fromUtf8("\xc3\xa9llo"));
        QCOMPARE(e.editor().bytes(), QByteArray("h\xc3\xa9llo w\xc3\xb6rld"));
        QVERIFY(!e.markedChanged());

        e.select(6, 5);
        e.form.itmFileMenuCut->Click();
        QCOMPARE(clipboardText(), QString::fromUtf8("w\xc3\xb6rld"));
        QCOMPARE(e.editor().bytes(), QByteArray("h\xc3\xa9llo "));
        QVERIFY(e.markedChanged());
    }

    void copyAndCutWithoutSelectionKeepTheClipboard()
    {
        Editor e;
        e.load("text");
        QGuiApplication::clipboard()->setText(QStringLiteral("kept"));
        e.select(2, 0);
        e.form.itmFileMenuCopy->Click();
        e.form.itmFileMenuCut->Click();
        QCOMPARE(clipboardText(), QStringLiteral("kept"));
        QCOMPARE(e.editor().bytes(), QByteArray("text"));
        QVERIFY(!e.markedChanged());
    }

    void paste_data()
    {
        QTest::addColumn<QString>("content"); // "image" and "nothing" stand for no text
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("text replaces the selection") << "xy" << QByteArray("axyd");
        QTest::newRow("up to the first NUL")
            << QStringLiteral("xy") + QChar(0) + QStringLiteral("z")
                                             << QByteArray("axyd");
        QTest::newRow("empty text deletes the selection") << "" << QByteArray("ad");
        QTest::newRow("non-ASCII text") << QString::fromUtf8("\xc3\xa9\xe2\x82\xac")
                                        << QByteArray("a\xc3\xa9\xe2\x82\xac" "d");
        QTest::newRow("a picture only: nothing") << "image" << QByteArray("abcd");
        QTest::newRow("an empty clipboard: nothing") << "nothing" << QByteArray("abcd");
    }
    void paste()
    {
        QFETCH(QString, content);
        QFETCH(QByteArray, result);
        Editor e;
        e.load("abcd");
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (content == QLatin1String("image")) {
            QImage picture(4, 4, QImage::Format_RGB32);
            picture.fill(Qt::red);
            clipboard->setImage(picture);
            QVERIFY(!clipboard->mimeData()->hasText());
        } else if (content == QLatin1String("nothing")) {
            clipboard->clear();
        } else {
            clipboard->setText(content);
        }
        e.select(1, 2);
        e.form.itmFileMenuPaste->Click();
        QCOMPARE(e.editor().bytes(), result);
        QCOMPARE(e.markedChanged(), result != "abcd");
    }

    void popupItemsAndBrowsingUseTheSameCommands()
    {
        Editor e;
        e.load("one two");
        e.form.pgpEditor->setActivePage(e.form.shtBrowse);
        e.select(0, 3);
        e.form.itmPopMenuCopy->action()->trigger();
        QCOMPARE(clipboardText(), QStringLiteral("one"));
        e.select(4, 3);
        e.form.itmPopMenuPaste->action()->trigger();
        QCOMPARE(e.editor().bytes(), QByteArray("one one"));
        e.select(3, 4);
        e.form.itmPopMenuCut->action()->trigger();
        QCOMPARE(clipboardText(), QStringLiteral(" one"));
        QCOMPARE(e.editor().bytes(), QByteArray("one"));
        QCOMPARE(e.form.pgpEditor->activePage(), e.form.shtBrowse);
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void fontIsStoredAndBackAtTheNextStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("bold italic 12") << "DejaVu Sans" << 12 << true << true;
        QTest::newRow("bold") << "DejaVu Serif" << 9 << true << false;
        QTest::newRow("italic") << "DejaVu Sans Mono" << 14 << false << true;
        QTest::newRow("plain") << "Liberation Mono" << 11 << false << false;
    }
    void fontIsStoredAndBackAtTheNextStart()
    {
        QFETCH(QString, name);
        QFETCH(int, size);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        const EditorFont chosen{name, size, bold, italic};
        TestEnvironment env;
        EditorFont before;
        {
            ScriptedDialogs dialogs;
            TfrmEditor form(dialogs, {"OrvikEditor"});
            // Start from a bold italic font, so that a plain choice must write zeros.
            form.mmoEditor->setFont(EditorFont{QStringLiteral("Serif"), 20, true, true});
            before = form.mmoEditor->font();
            dialogs.expectFont(chosen);
            form.itmFont->action()->trigger();
            QCOMPARE(dialogs.fontRequests.value(0), before);
            QCOMPARE(form.mmoEditor->font(), chosen);
            QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
        }
        SettingsStore store(env.settingsFile());
        store.OpenKey(QStringLiteral("Orvik\\Pagloom\\"), false);
        QCOMPARE(store.ReadInteger(QStringLiteral("Bold")), bold ? 1 : 0);
        QCOMPARE(store.ReadInteger(QStringLiteral("Italic")), italic ? 1 : 0);
        QCOMPARE(store.ReadString(QStringLiteral("FontName")), name);
        QCOMPARE(store.ReadInteger(QStringLiteral("FontSize")), size);
        store.CloseKey();

        ScriptedDialogs dialogs;
        TfrmEditor next(dialogs, {"OrvikEditor"});
        QCOMPARE(next.mmoEditor->font(), chosen);
    }

    void cancelledFontChangesNothing()
    {
        Editor e;
        const EditorFont before = e.editor().font();
        e.dialogs.expectFont(std::nullopt);
        e.form.itmFont->Click();
        QCOMPARE(e.editor().font(), before);
        SettingsStore store(e.env.settingsFile());
        store.OpenKey(QStringLiteral("Orvik\\Pagloom\\"), true);
        QCOMPARE(store.ReadString(QStringLiteral("FontName")), QString());
        QVERIFY_THROWS_EXCEPTION(std::exception, store.ReadInteger(QStringLiteral("Bold")));
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void failingFontWriteKeepsTheFontAndNamesTheValue()
    {
        Editor e;
        // The settings file cannot be created where a regular file stands in for its folder.
        const QString folder = QFileInfo(e.env.settingsFile()).absolutePath();
        QDir(folder).removeRecursively();
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const EditorFont chosen{QStringLiteral("DejaVu Sans"), 13, true, false};
        e.dialogs.expectFont(chosen);
        e.dialogs.expectError(QStringLiteral("Failed to set data for 'Bold'"));
        e.form.itmFont->action()->trigger();
        QCOMPARE(e.editor().font(), chosen);
        QCOMPARE(e.dialogs.errors, QStringList({"Failed to set data for 'Bold'"}));
        QVERIFY2(e.dialogs.allAnswered(), qPrintable(e.dialogs.report()));
    }

    void wordWrapTwiceReturnsToWhereItWas()
    {
        Editor e;
        e.load("a long line that may wrap");
        const bool wrapped = e.form.itm_wordwrap->Checked();
        QCOMPARE(e.editor().wordWrap(), wrapped);
        e.form.itm_wordwrap->action()->trigger();
        QCOMPARE(e.form.itm_wordwrap->Checked(), !wrapped);
        QCOMPARE(e.editor().wordWrap(), !wrapped);
        QCOMPARE(e.editor().widget()->wrapMode(),
                 wrapped ? QsciScintilla::WrapNone : QsciScintilla::WrapWord);
        e.form.itm_wordwrap->Click();
        QCOMPARE(e.form.itm_wordwrap->Checked(), wrapped);
        QCOMPARE(e.editor().wordWrap(), wrapped);
        QCOMPARE(e.editor().bytes(), QByteArray("a long line that may wrap"));
        QVERIFY(!e.markedChanged());
    }
};

ORVIK_TEST_MAIN(tst_EditingTools)
#include "tst_EditingTools.moc"
