#include "EditorFixture.h"

#include "host/FilePanel.h"
#include "host/MenuItem.h"
#include "host/PageControl.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#define ANSWERED(d) QVERIFY2((d).allAnswered(), qPrintable((d).report()))

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
    void newReusesOnlyAnUnchangedUntitledDocument()
    {
        EditorFixture x;
        const QString scratch = x.env.workDir() + "/Orvik_temp.ht~";
        QCOMPARE(x.editorText(), templateText());
        QVERIFY(x.f().DocumentList->Items(0)->Saved);
        QCOMPARE(x.f().DocumentList->Items(0)->Directory, x.env.untitledDir());
        QCOMPARE(QFileInfo(x.env.untitledDir()).permissions() & 0x0077, QFileDevice::Permissions());
        // Moving the caret is no change: New keeps the one tab and writes no scratch file.
        x.f().mmoEditor->setSelStart(0);
        x.f().itmNew->Click();
        QCOMPARE(x.tabs(), QStringList{"Untitled"});
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom"));
        QVERIFY(!QFile::exists(scratch));

        // The scratch file replaces a planted link instead of writing through it.
        const QString victim = x.file("victim.txt", "precious");
        QVERIFY(QFile::link(victim, scratch));
        x.type("typed");
        x.f().pgpEditor->setActivePage(x.f().shtBrowse);
        x.f().itmNew->Click();
        QCOMPARE(x.f().pgpEditor->activePage(), x.f().shtEdit);
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "Untitled"}));
        QCOMPARE(x.tabIndex(), 1);
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - UNTITLED"));
        QCOMPARE(x.editorText(), templateText());
        QCOMPARE(ReadWholeFile(scratch), QByteArray());
        QVERIFY(!QFileInfo(scratch).isSymLink());
        QCOMPARE(ReadWholeFile(victim), QByteArray("precious"));
        x.clickTab(0);
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - Untitled"));
        QVERIFY(x.editorText().startsWith("typed<!--"));
        ANSWERED(x.dialogs);
    }

    void switchingAndReopeningKeepTextAndMarks()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "<p>a</p>\r\n");
        x.open(a);
        x.type("edit ");
        QCOMPARE(x.tabs(), QStringList{"* - a.htm"});
        x.open(x.file("sub/b.htm", "<p>b</p>\r\n"));
        QCOMPARE(x.tabIndex(), 1);
        // Opening an open path selects its tab without reading the file again.
        x.file("a.htm", "changed on disk\r\n");
        x.open(a);
        QCOMPARE(x.tabIndex(), 0);
        QCOMPARE(x.editorText(), QByteArray("edit <p>a</p>\r\n"));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
        // The surface holds the live text; the record keeps no second copy.
        QVERIFY(x.f().DocumentList->Items(0)->Text.isEmpty());
        x.clickTab(1);
        // Loading the saved document's text raised a change; arriving keeps its flag.
        QCOMPARE(x.tabs(), QStringList({"* - a.htm", "b.htm"}));
        QVERIFY(x.f().DocumentList->Items(1)->Saved);
        QCOMPARE(x.editorText(), QByteArray("<p>b</p>\r\n"));
        // Paths are compared as given, not resolved.
        x.open("a.htm");
        x.open(x.env.workDir() + "/./a.htm");
        QCOMPARE(x.tabs().size(), 4);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + x.env.workDir() + "/./a.htm");
    }

    void doubleClickInTheFileListOpensTheSelectedFile()
    {
        EditorFixture x;
        const QString page = x.file("site/page.htm", "<p>page</p>\r\n");
        x.f().FileList->ApplyFilePath(x.env.workDir() + "/site");
        x.f().FileList->setItemIndex(0);
        QAbstractItemView *view = x.f().FileList->view();
        const QPoint at = view->visualRect(view->model()->index(0, 0)).center();
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(x.tabs(), QStringList{"page.htm"});
        QCOMPARE(x.caption(), "Ostra Pagloom - " + page);
        QCOMPARE(x.editorText(), QByteArray("<p>page</p>\r\n"));
        ANSWERED(x.dialogs);
    }

    void theOpenCommandStoresTheTextOnConfirming()
    {
        EditorFixture x;
        x.type("mine ");
        x.dialogs.expectOpen(x.file("a.htm", "a\r\n"));
        x.f().itmOpen->Click();
        const FileDialogRequest &request = x.dialogs.openRequests.first();
        QCOMPARE(request.initialDir, x.env.workDir());
        QCOMPARE(request.filters[0].label, QStringLiteral("Web Documents (*.htm; *.html)"));
        QCOMPARE(request.filters[0].patterns, QStringLiteral("*.htm;*.html"));
        QVERIFY(x.f().DocumentList->Items(0)->Text.startsWith("mine <!--"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));

        x.dialogs.expectOpen(std::nullopt);
        x.f().itmOpen->Click();
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));
        ANSWERED(x.dialogs);
    }

    void unreadableFilesChangeNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "missing.htm";
        QTest::newRow("directory") << "dir.htm";
        QTest::newRow("fifo") << "fifo.htm";
        QTest::newRow("empty path") << "";
    }
    void unreadableFilesChangeNothing()
    {
        QFETCH(QString, name);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.type("edited ");
        QVERIFY(QDir().mkpath(x.env.workDir() + "/dir.htm"));
        QCOMPARE(mkfifo(QFile::encodeName(x.env.workDir() + "/fifo.htm").constData(), 0600), 0);
        const QString bad = name.isEmpty() ? name : x.env.workDir() + "/" + name;
        x.dialogs.expectError("Cannot open file " + bad);
        x.openGuarded(bad);
        ANSWERED(x.dialogs);
        QCOMPARE(x.dialogs.errors.first(), "Cannot open file " + bad + (bad.isEmpty() ? "" : "."));
        QCOMPARE(x.tabs(), QStringList{"* - a.htm"});
        QCOMPARE(x.editorText(), QByteArray("edited a\r\n"));
        QCOMPARE(x.f().DocumentList->Count(), 1);
        QCOMPARE(x.caption(), "Ostra Pagloom - " + a);
    }

    void theCommandLineFileFillsTheFirstTab()
    {
        TestEnvironment env;
        env.writeFile("start.htm", "<p>start</p>\r\n");
        ScriptedDialogs dialogs;
        dialogs.expectError("Cannot open file nope.htm");
        TfrmEditor missing(dialogs, {"OrvikEditor", "nope.htm"});
        QCOMPARE(missing.tabFileList->tab(0), QStringLiteral("Untitled"));
        QCOMPARE(missing.mmoEditor->bytes(), templateText());
        TfrmEditor form(dialogs, {"OrvikEditor", "start.htm"});
        QCOMPARE(form.tabFileList->count(), 1);
        QCOMPARE(form.windowTitle(), QStringLiteral("Ostra Pagloom - start.htm"));
        QCOMPARE(form.mmoEditor->bytes(), QByteArray("<p>start</p>\r\n"));
        ANSWERED(dialogs);
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
