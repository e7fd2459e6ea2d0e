#include "EditorFixture.h"

#include "host/FilePanel.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>
#include <sys/stat.h>

static const QByteArray kTemplate =
    "<!-- Created with Ostra Pagloom version 2.0 -->\r\n\r\n<HTML>\r\n<HEAD>\r\n"
    "<META NAME=\"GENERATOR\" Content=\"Ostra Pagloom 2.0\">\r\n"
    "<TITLE>Untitled</TITLE>\r\n</HEAD>\r\n<BODY>\r\n\r\n\r\n</BODY>\r\n</HTML>\r\n";

// Switching, change marks, New and opening, through the window's own handlers.
class tst_Documents : public QObject
{
    Q_OBJECT

private slots:
    void newReusesOnlyAnUnchangedUntitledDocument()
    {
        EditorFixture x;
        QCOMPARE(QFileInfo(x.env.untitledDir()).permissions() & 0x0077, QFileDevice::Permissions());
        // Moving the caret is no change: New keeps the one tab and writes no scratch file.
        const QString scratch = x.env.workDir() + "/Orvik_temp.ht~";
        x.editor().setSelStart(0);
        x.choose("itmNew");
        QCOMPARE(x.tabs(), QStringList {"Untitled"});
        QVERIFY(!QFile::exists(scratch));

        // The scratch file replaces a planted link instead of writing through it.
        const QString victim = x.file("victim.txt", "precious");
        QVERIFY(QFile::link(victim, scratch));
        x.type("typed");
        x.setPage("shtBrowse");
        x.choose("itmNew");
        QCOMPARE(x.page(), QStringLiteral("shtEdit"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "Untitled"}));
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - UNTITLED"));
        QCOMPARE(x.editorText(), kTemplate);
        QCOMPARE(ReadWholeFile(scratch), QByteArray());
        QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        x.clickTab(0);
        QVERIFY(x.editorText().startsWith("typed<!--"));
        ANSWERED(x.dialogs);
    }

    void switchingReopeningAndUnreadableFilesKeepTextAndMarks()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "<p>a</p>\r\n");
        x.open(a);
        x.type("edit ");
        x.open(x.file("sub/b.htm", "<p>b</p>\r\n"));
        // Opening an open path selects its tab without reading the file again.
        x.file("a.htm", "changed on disk\r\n");
        x.open(a);
        QCOMPARE(x.tabIndex(), 0);
        // Files that cannot be read are refused, with the reason, before anything is touched.
        const QString dir = x.env.workDir();
        QVERIFY(QDir().mkpath(dir + "/dir.htm"));
        QCOMPARE(mkfifo(QFile::encodeName(dir + "/fifo.htm").constData(), 0600), 0);
        const QString secret = x.file("secret.htm", "<p>secret</p>\r\n"); // for a user, not root
        const QList<std::pair<QString, QString>> refused = {
            {dir + "/dir.htm", ".\nIs a directory."},
            {dir + "/fifo.htm", ".\nNot a regular file."},
            {dir + "/none.htm", ".\nNo such file or directory."},
            {a + "/x.htm", ".\nNot a directory."},
            {secret, ".\nPermission denied."},
            {QString(), "\nNo such file or directory."}};
        for (const auto &[bad, reason] : refused) {
            if (bad == secret && !ActingAsUser::possible())
                continue;
            const QString error = "Cannot open file " + bad + reason;
            x.dialogs.expectError(error);
            std::optional<ActingAsUser> user;
            if (bad == secret)
                user.emplace();
            x.openGuarded(bad);
            QVERIFY2(x.dialogs.errors.endsWith(error), qPrintable(x.dialogs.errors.join('\n')));
        }
        ANSWERED(x.dialogs);
        QCOMPARE(x.editorText(), QByteArray("edit <p>a</p>\r\n"));
        // The surface holds the live text; the record keeps no second copy.
        QVERIFY(x.f().DocumentList->Items(0)->Text.isEmpty());
        x.clickTab(1);
        // Loading the saved document's text raised a change; arriving keeps its flag.
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        QCOMPARE(x.editorText(), QByteArray("<p>b</p>\r\n"));
        // Paths are compared as given, not resolved.
        x.open("a.htm");
        QCOMPARE(x.tabs().size(), 3);
    }

    void theOpenCommandAndADoubleClickInTheFileListOpen()
    {
        EditorFixture x;
        x.type("mine ");
        x.dialogs.expectOpen(x.file("a.htm", "a\r\n"));
        x.choose("itmOpen");
        const FileDialogRequest request = x.dialogs.openRequests.value(0);
        QCOMPARE(request.initialDir, x.env.workDir());
        QCOMPARE(request.filters[0].label, QStringLiteral("Web Documents (*.htm; *.html)"));
        // Confirming the dialog stored the text it leaves.
        QVERIFY(x.f().DocumentList->Items(0)->Text.startsWith("mine <!--"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));

        const QString page = x.file("site/page.htm", "<p>page</p>\r\n");
        TFileListBox &fileList = x.control<TFileListBox>();
        fileList.ApplyFilePath(page); // selects it
        QAbstractItemView *view = fileList.view();
        const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + page);
        ANSWERED(x.dialogs);
    }

    void theCommandLineFileFillsTheFirstTab()
    {
        TestEnvironment env;
        env.writeFile("start.htm", "<p>start</p>\r\n");
        env.writeFile("image.png", QByteArray("\x89PNG\0", 5));
        ScriptedDialogs dialogs;
        // A file that is refused or declined leaves the template in the first tab.
        dialogs.expectError("Cannot open file nope.htm");
        TfrmEditor missing(dialogs, {"OrvikEditor", "nope.htm"});
        QCOMPARE(Control<EditSurface>(missing).bytes(), kTemplate);
        dialogs.expectQuestion("image.png looks like a binary file", mrNo);
        TfrmEditor declined(dialogs, {"OrvikEditor", "image.png"});
        QCOMPARE(Control<EditSurface>(declined).bytes(), kTemplate);
        // Only the first argument counts; the others name no files.
        TfrmEditor form(dialogs, {"OrvikEditor", "start.htm", "second.htm", "third.htm"});
        QCOMPARE(form.windowTitle(), QStringLiteral("Ostra Pagloom - start.htm")); // as given
        QCOMPARE(Control<TabStrip>(form).count(), 1);
        ANSWERED(dialogs);
    }

    // A document left and come back to is as the user left it: its selection, its scroll
    // position and an undo history that holds its own edits only.
    void switchingBackGivesTheDocumentAsItWasLeft()
    {
        EditorFixture x;
        QByteArray lines;
        for (int i = 0; i < 300; ++i)
            lines += "line " + QByteArray::number(i) + "\r\n";
        x.open(x.file("a.htm", lines));
        QsciScintilla &sci = x.scintilla();
        x.type("A");
        sci.setSelection(250, 1, 250, 4);
        sci.setFirstVisibleLine(200);
        x.open(x.file("b.htm", "b\r\n"));
        x.type("B");
        x.clickTab(0);
        int fromLine, fromIndex, toLine, toIndex;
        sci.getSelection(&fromLine, &fromIndex, &toLine, &toIndex);
        QCOMPARE(QList<int>({fromLine, fromIndex, toLine, toIndex}), QList<int>({250, 1, 250, 4}));
        QCOMPARE(sci.firstVisibleLine(), 200);
        sci.undo();
        QCOMPARE(x.editorText(), lines);
        QVERIFY(!sci.isUndoAvailable());
        x.clickTab(1);
        sci.undo();
        QCOMPARE(x.editorText(), QByteArray("b\r\n"));
    }

    // However a document comes onto the surface, the change handler runs once, and afterwards
    // every tab shows its document's mark.
    void everyArrivalRunsTheChangeHandlerOnce_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("tabs"); // the selected one in brackets
        QTest::addColumn<int>("changes");
        const auto row = [](const char *route, const char *tabs, int changes) {
            QTest::newRow(route) << route << tabs << changes;
        };
        row("click", "[a.htm], * - b.htm", 1);
        row("open a", "[a.htm], * - b.htm", 1); // an open file
        row("open c", "a.htm, * - b.htm, [c.htm]", 1); // into a new tab
        row("itmNew", "a.htm, * - b.htm, [Untitled]", 1);
        // Close empties the closing document first, which is a change too.
        row("itmClose", "[a.htm]", 2);
        row("itmSaveAll", "a.htm, [b.htm]", 2);
    }
    void everyArrivalRunsTheChangeHandlerOnce()
    {
        QFETCH(QString, route);
        QFETCH(QString, tabs);
        QFETCH(int, changes);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.open(x.file("b.htm", "b\r\n"));
        x.type("B");
        int runs = 0;
        EditSurface &surface = x.editor();
        const std::function<void()> handler = surface.OnChange;
        surface.OnChange = [&] {
            ++runs;
            handler();
        };
        if (route == "itmClose")
            x.dialogs.expectQuestion("The current file has changed", mrNo);
        if (route == "click")
            x.clickTab(0);
        else if (route.startsWith("open"))
            x.open(route == "open a" ? a : x.file("c.htm", "c\r\n"));
        else
            x.choose(qPrintable(route));
        QStringList shown = x.tabs();
        shown[x.tabIndex()] = "[" + shown[x.tabIndex()] + "]";
        QCOMPARE(shown.join(", "), tabs);
        QCOMPARE(runs, changes);
        ANSWERED(x.dialogs);
    }

    // Every byte of a file comes into the editor; a file a save would damage is opened only
    // when the user says so.
    void everyByteSurvivesOpening_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("binary"); // asked whether to open it, and answered No
        QTest::newRow("UTF-8, byte-order mark, NUL")
            << QByteArray("\xef\xbb\xbf<p>caf\xc3\xa9\0\xe2\x82\xac</p>\r\n", 21) << false;
        QTest::newRow("rich text markup, 8-bit")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0 Arial;}\\f0 caf\xe9 \x80\xff\\par}\r\n")
            << false;
        QTest::newRow("binary, No opens nothing")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff", 18) << true;
        QTest::newRow("NUL early, 8-bit only at the end")
            << (QByteArray(100, '\0') + QByteArray(100 * 1024, 'a') + "\xff") << true;
        QTest::newRow("NUL only after 64 KiB, 8-bit")
            << (QByteArray(64 * 1024, 'a') + QByteArray("\0\xff\r\n", 4)) << false;
    }
    void everyByteSurvivesOpening()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, binary);
        EditorFixture x;
        if (binary)
            x.dialogs.expectQuestion("f.bin looks like a binary file. Saving it from this editor "
                                     "would change it. Open it anyway?",
                                     mrNo);
        x.open(x.file("f.bin", bytes));
        ANSWERED(x.dialogs);
        if (binary) {
            QCOMPARE(x.tabs(), QStringList {"Untitled"});
            QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom"));
            QCOMPARE(x.editorText(), kTemplate);
            return;
        }
        QCOMPARE(x.editorText(), bytes);
        QCOMPARE(x.editor().linesText(), bytes);
    }
};

ORVIK_TEST_MAIN(tst_Documents)
#include "tst_Documents.moc"
