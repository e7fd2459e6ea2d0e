#include "EditorFixture.h"

#include "docs/NewFileTemplate.h"
#include "host/MenuItem.h"
#include "host/FilePanel.h"
#include "host/PageControl.h"

#include <QAbstractItemView>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

// Switching, change marks, New and opening, through the window's own handlers.
class tst_Documents : public QObject
{
    Q_OBJECT

    static QByteArray templateText()
    {
        return "<!-- Created with Ostra Pagloom version 2.0 -->\r\n\r\n<HTML>\r\n<HEAD>\r\n"
               "<META NAME=\"GENERATOR\" Content=\"Ostra Pagloom 2.0\">\r\n"
               "<TITLE>Untitled</TITLE>\r\n</HEAD>\r\n<BODY>\r\n\r\n\r\n</BODY>\r\n</HTML>\r\n";
    }

private slots:
    void startupShowsTheTemplateInTheUntitledTab()
    {
        EditorFixture x;
        QCOMPARE(x.editorText(), templateText());
        QCOMPARE(x.tabs(), QStringList{"Untitled"});
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom"));
        const THTMLInfo &doc = *x.f().DocumentList->Items(0);
        QVERIFY(doc.Saved);
        QCOMPARE(doc.Directory, x.env.untitledDir());
        QVERIFY(QFileInfo(x.env.untitledDir()).isDir());
        QCOMPARE(QFileInfo(x.env.untitledDir()).permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void typingMarksOnlyTheTab()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "<p>a</p>\r\n");
        x.open(a);
        x.type("z");
        QCOMPARE(x.tabs(), QStringList{"* - a.htm"});
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
        QVERIFY(!x.f().DocumentList->Items(0)->Saved);
    }

    void leavingAndComingBackKeepsTextAndMarks()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "<p>a</p>\r\n");
        const QString b = x.file("sub/b.htm", "<p>b</p>\r\n");
        x.open(a);
        x.type("edit ");
        x.open(b);
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        x.clickTab(0);
        QCOMPARE(x.editorText(), QByteArray("edit <p>a</p>\r\n"));
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
        x.clickTab(1);
        // Loading the saved document's text raised a change; arriving keeps its flag.
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        QVERIFY(x.f().DocumentList->Items(1)->Saved);
        QCOMPARE(x.editorText(), QByteArray("<p>b</p>\r\n"));
    }

    void arrivingAtAnUntitledDocumentShowsItsName()
    {
        EditorFixture x;
        x.type("x");
        x.f().itmNew->Click();
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - UNTITLED"));
        x.clickTab(0);
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - Untitled"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "Untitled"}));
    }

    void newReusesTheOnlyUnchangedUntitledDocument()
    {
        EditorFixture x;
        x.f().mmoEditor->setSelStart(0);
        x.f().itmNew->Click();
        QCOMPARE(x.tabs(), QStringList{"Untitled"});
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom"));
        QCOMPARE(x.editorText(), templateText());
        // No scratch file when New reuses the tab.
        QVERIFY(!QFile::exists(x.env.workDir() + "/Orvik_temp.ht~"));
    }

    void newAfterTypingAddsATab()
    {
        EditorFixture x;
        x.type("typed");
        x.f().itmNew->Click();
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "Untitled"}));
        QCOMPARE(x.tabIndex(), 1);
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - UNTITLED"));
        QCOMPARE(x.editorText(), templateText());
        QCOMPARE(ReadWholeFile(x.env.workDir() + "/Orvik_temp.ht~"), QByteArray());
        x.clickTab(0);
        QVERIFY(x.editorText().startsWith("typed<!--"));
    }

    void newWithOneSavedDocumentAddsATab()
    {
        EditorFixture x;
        x.open(x.file("a.htm", "a\r\n"));
        x.f().itmNew->Click();
        QCOMPARE(x.tabs(), QStringList({"a.htm", "Untitled"}));
    }

    void newFromTheBrowsePageBringsTheEditPageToTheFront()
    {
        EditorFixture x;
        x.type("x");
        x.f().pgpEditor->setActivePage(x.f().shtBrowse);
        x.f().itmNew->Click();
        QCOMPARE(x.f().pgpEditor->activePage(), x.f().shtEdit);
    }

    void newNeverWritesThroughAPlantedLink()
    {
        EditorFixture x;
        const QString victim = x.file("victim.txt", "precious");
        QVERIFY(QFile::link(victim, x.env.workDir() + "/Orvik_temp.ht~"));
        x.type("x");
        x.f().itmNew->Click();
        QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        QVERIFY(!QFileInfo(x.env.workDir() + "/Orvik_temp.ht~").isSymLink());
    }

    void openingAnOpenFileSelectsItsTabWithoutReading()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "disk a\r\n");
        x.open(a);
        x.type("unsaved ");
        x.open(x.file("b.htm", "b\r\n"));
        QFile::remove(a);
        x.open(a);
        QCOMPARE(x.tabIndex(), 0);
        QCOMPARE(x.editorText(), QByteArray("unsaved disk a\r\n"));
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
    }

    void openingTheSelectedFileDoesNothing()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "old\r\n");
        x.open(a);
        x.file("a.htm", "changed on disk\r\n");
        x.open(a);
        QCOMPARE(x.editorText(), QByteArray("old\r\n"));
        QCOMPARE(x.tabs(), QStringList{"a.htm"});
    }

    void openingIntoTheReusedUntitledTab()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        QCOMPARE(x.tabs(), QStringList{"a.htm"});
        QCOMPARE(x.editorText(), QByteArray("a\r\n"));
        QCOMPARE(x.f().DocumentList->Count(), 1);
        QCOMPARE(x.f().DocumentList->Items(0)->FullPath, a);
        QCOMPARE(x.f().DocumentList->Items(0)->Directory, x.env.workDir() + "/");
    }

    void openingIntoANewTabKeepsThePreviousMark()
    {
        EditorFixture x;
        x.type("t");
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));
        QCOMPARE(x.tabIndex(), 1);
        QVERIFY(!x.f().DocumentList->Items(0)->Saved);
        QVERIFY(x.f().DocumentList->Items(1)->Saved);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
    }

    void doubleClickInTheFileListOpensTheSelectedFile()
    {
        EditorFixture x;
        const QString page = x.file("site/page.htm", "<p>page</p>\r\n");
        x.file("site/other.txt", "not listed");
        x.f().FileList->ApplyFilePath(x.env.workDir() + "/site");
        QCOMPARE(x.f().FileList->Items(), QStringList{"page.htm"});
        x.f().FileList->setItemIndex(0);
        QAbstractItemView *view = x.f().FileList->view();
        const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(x.tabs(), QStringList{"page.htm"});
        QCOMPARE(x.caption(), "Ostra Pagloom - " + page);
        QCOMPARE(x.editorText(), QByteArray("<p>page</p>\r\n"));
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void pathsAreComparedExactly()
    {
        EditorFixture x;
        x.file("a.htm", "a\r\n");
        x.open(x.env.workDir() + "/a.htm");
        x.open("a.htm");
        x.open(x.env.workDir() + "/./a.htm");
        QCOMPARE(x.tabs(), QStringList({"a.htm", "a.htm", "a.htm"}));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + x.env.workDir() + "/./a.htm");
    }

    void theOpenCommandStoresTheTextOnConfirming()
    {
        EditorFixture x;
        x.type("mine ");
        const QString a = x.file("a.htm", "a\r\n");
        x.dialogs.expectOpen(a);
        x.f().itmOpen->Click();
        const FileDialogRequest &request = x.dialogs.openRequests.first();
        QCOMPARE(request.initialDir, x.env.workDir());
        QCOMPARE(request.filters.size(), 3);
        QCOMPARE(request.filters[0].label, QStringLiteral("Web Documents (*.htm; *.html)"));
        QCOMPARE(request.filters[0].patterns, QStringLiteral("*.htm;*.html"));
        QCOMPARE(request.filters[1].label, QStringLiteral("Active Server Pages (*.asp)"));
        QCOMPARE(request.filters[2].patterns, QStringLiteral("*.*"));
        QVERIFY(x.f().DocumentList->Items(0)->Text.startsWith("mine <!--"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));

        x.dialogs.expectOpen(std::nullopt);
        x.f().itmOpen->Click();
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void unreadableFilesChangeNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("directory") << "directory";
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("empty path") << "empty";
    }
    void unreadableFilesChangeNothing()
    {
        QFETCH(QString, kind);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.type("edited ");
        QString bad = x.env.workDir() + "/bad.htm";
        if (kind == "directory")
            QDir().mkpath(bad);
        if (kind == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(bad).constData(), 0600), 0);
        if (kind == "empty")
            bad.clear();
        x.dialogs.expectError("Cannot open file " + bad);
        x.openGuarded(bad);
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.dialogs.errors.first(), "Cannot open file " + bad + (bad.isEmpty() ? "" : "."));
        QCOMPARE(x.tabs(), QStringList{"* - a.htm"});
        QCOMPARE(x.editorText(), QByteArray("edited a\r\n"));
        QCOMPARE(x.f().DocumentList->Count(), 1);
        QCOMPARE(x.f().DocumentList->Items(0)->FullPath, a);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
    }

    void unreadableCommandLineFileOpensTheTemplate()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        const QString missing = env.workDir() + "/nope.htm";
        dialogs.expectError("Cannot open file " + missing);
        TfrmEditor form(dialogs, {"OrvikEditor", missing});
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
        QCOMPARE(form.tabFileList->tab(0), QStringLiteral("Untitled"));
        QCOMPARE(form.mmoEditor->bytes(), templateText());
        QVERIFY(form.DocumentList->Items(0)->FullPath.isEmpty());
    }

    void commandLineFileFillsTheFirstTab()
    {
        TestEnvironment env;
        ScriptedDialogs dialogs;
        env.writeFile("start.htm", "<p>start</p>\r\n");
        TfrmEditor form(dialogs, {"OrvikEditor", "start.htm"});
        QCOMPARE(form.tabFileList->count(), 1);
        QCOMPARE(form.tabFileList->tab(0), QStringLiteral("start.htm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("Ostra Pagloom - start.htm"));
        QCOMPARE(form.mmoEditor->bytes(), QByteArray("<p>start</p>\r\n"));
    }

    void everyByteSurvivesOpening_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << QByteArray("<p>caf\xc3\xa9 \xe2\x82\xac</p>\r\n");
        QTest::newRow("8-bit") << QByteArray("<p>caf\xe9 \x80\xff</p>\r\n");
        QTest::newRow("NUL bytes") << QByteArray("a\0b\0\r\n", 6);
        QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf<p>x</p>\r\n");
        QTest::newRow("rich text markup") << QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0 Arial;}\\f0 Hi\\par}\r\n");
        QTest::newRow("long line") << (QByteArray(3 * 1024 * 1024, 'w') + "\r\n");
    }
    void everyByteSurvivesOpening()
    {
        QFETCH(QByteArray, bytes);
        EditorFixture x;
        x.open(x.file("f.htm", bytes));
        QCOMPARE(x.editorText(), bytes);
        QCOMPARE(x.f().mmoEditor->linesText(), bytes);
    }
};

ORVIK_TEST_MAIN(tst_Documents)
#include "tst_Documents.moc"
