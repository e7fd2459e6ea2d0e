#include "EditorFixture.h"

#include "host/MenuItem.h"
#include "host/PageControl.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

// Both Exit's and Close's question end so.
static const QString kSaveQuestion = QStringLiteral("has changed.\nSave Changes?");

#define ANSWERED(d) QVERIFY2((d).allAnswered(), qPrintable((d).report()))

// Saving, closing and exiting, through the window's own handlers on real files.
class tst_SaveClose : public QObject
{
    Q_OBJECT
private slots:
    void saveOfUntitledGoesToSaveAsAndSaveAllAsksNothing()
    {
        EditorFixture x;
        x.type("u");
        x.dialogs.expectSave(std::nullopt);
        x.f().itmSave->Click();
        const FileDialogRequest &request = x.dialogs.saveRequests.first();
        QCOMPARE(request.initialDir, x.env.workDir());
        QCOMPARE(request.fileName, QString());
        QVERIFY(request.overwritePrompt);
        // Outside Exit, Save All saves only changed documents, without a question.
        const QString a = x.file("a.htm", "a\r\n");
        const QString b = x.file("b.htm", "b\r\n");
        x.open(a);
        x.open(b);
        x.type("B");
        x.open(x.file("c.htm", "c\r\n"));
        x.clickTab(1);
        x.dialogs.expectSave(std::nullopt);
        x.f().itmSaveAll->Click();
        ANSWERED(x.dialogs);
        QCOMPARE(ReadWholeFile(b), QByteArray("Bb\r\n"));
        QCOMPARE(ReadWholeFile(a), QByteArray("a\r\n"));
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm", "b.htm", "c.htm"}));
        QCOMPARE(x.tabIndex(), 3);
    }

    void saveWritesThroughALinkAndSaveAsOffersTheFullPath()
    {
        EditorFixture x;
        const QByteArray bytes("\xef\xbb\xbf<p>caf\xe9\0\x80</p>\nend", 20);
        const QString target = x.file("real.htm", bytes);
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QFile::setPermissions(target, mode);
        const QString link = x.env.workDir() + "/link.htm";
        QVERIFY(QFile::link(target, link));
        x.open(link);
        x.type("new ");
        x.f().itmSave->Click();
        // Every line ends in CR LF; every other byte is written back unchanged.
        const QByteArray saved("new \xef\xbb\xbf<p>caf\xe9\0\x80</p>\r\nend\r\n", 27);
        QCOMPARE(ReadWholeFile(target), saved);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(target).permissions() & 0x7077, mode);

        x.type("0");
        const QString b = x.env.workDir() + "/b.html";
        x.dialogs.expectSave(b);
        x.f().itmSaveAs->Click();
        ANSWERED(x.dialogs);
        QCOMPARE(x.dialogs.saveRequests.first().fileName, link);
        QCOMPARE(ReadWholeFile(b), "0" + saved);
        QCOMPARE(ReadWholeFile(target), saved);
        QCOMPARE(x.tabs(), QStringList{"b.html"});
        QCOMPARE(x.caption(), "Ostra Pagloom - " + b);
    }

    void aSaveOnAFullDiskKeepsTheOldFileAndTheMark()
    {
        EditorFixture x;
        const QString path = x.file("dir/page.htm", "old content\r\n");
        x.open(path);
        x.type(QString(5000, 'n'));
        x.dialogs.expectError("Cannot save file " + path + ": File too large");
        // The limit on the size of files this process may write acts as a full disk.
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{1000, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
        x.f().itmSave->action()->trigger(); // as a user's click: errors are reported
        setrlimit(RLIMIT_FSIZE, &previous);
        ANSWERED(x.dialogs);
        QVERIFY(!x.f().DocumentList->Items(0)->Saved);
        QCOMPARE(x.tabs(), QStringList{"* - page.htm"});
        QCOMPARE(ReadWholeFile(path), QByteArray("old content\r\n"));
        QCOMPARE(QDir(x.env.workDir() + "/dir").entryList(QDir::Files | QDir::Hidden),
                 QStringList{"page.htm"});
    }

    void exitAsksInTabOrder_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<bool>("saved");
        QTest::newRow("No twice discards") << int(mrNo) << int(mrNo) << false;
        QTest::newRow("Yes, then a frame-closed question") << int(mrYes) << int(mrCancel) << true;
    }
    void exitAsksInTabOrder()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(bool, saved);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        const QString b = x.file("b.htm", "b\r\n");
        x.open(a);
        x.type("A");
        x.open(b);
        x.type("B");
        x.dialogs.expectQuestion("\"a.htm\" " + kSaveQuestion, ModalResult(first));
        x.dialogs.expectQuestion("\"b.htm\" " + kSaveQuestion, ModalResult(second));
        const QString untitledPreview = x.env.untitledDir() + "Orvik_temp.ht~";
        const QString otherPreview = x.file("Orvik_temp.ht~", "kept");
        QVERIFY(QFile(untitledPreview).open(QIODevice::WriteOnly));
        x.f().itmExit->Click();
        ANSWERED(x.dialogs);
        QCOMPARE(x.dialogs.questionTypes.first(), TMsgDlgType::mtConfirmation);
        QCOMPARE(x.dialogs.questionButtons.first(), TMsgDlgButtons(mbYes | mbNo));
        QCOMPARE(ReadWholeFile(a), saved ? QByteArray("Aa\r\n") : QByteArray("a\r\n"));
        QCOMPARE(ReadWholeFile(b), saved ? QByteArray("Bb\r\n") : QByteArray("b\r\n"));
        QVERIFY(!x.f().isVisible());
        QVERIFY(x.f().Exiting);
        // Exit deletes only the untitled documents' preview file.
        QVERIFY(!QFile::exists(untitledPreview));
        QVERIFY(QFile::exists(otherPreview));
    }

    void aChosenSaveThatDidNotHappenKeepsTheDocument_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<bool>("saveFails");
        QTest::newRow("Close, Save As cancelled") << false << false;
        QTest::newRow("Close, save fails") << false << true;
        QTest::newRow("Exit, Save As cancelled") << true << false;
        QTest::newRow("Exit, save fails") << true << true;
    }
    void aChosenSaveThatDidNotHappenKeepsTheDocument()
    {
        QFETCH(bool, exit);
        QFETCH(bool, saveFails);
        EditorFixture x;
        x.file("plain", "a file");
        const QString bad = x.env.workDir() + "/plain/a.htm"; // its parent is a regular file
        // A failed Save As has already named the document.
        const QString name = saveFails ? "a.htm" : "Untitled";
        const auto chooseToSave = [&](const QString &question) {
            x.dialogs.expectQuestion(question + kSaveQuestion, mrYes);
            if (x.f().DocumentList->Items(0)->FullPath.isEmpty())
                x.dialogs.expectSave(saveFails ? std::optional(bad) : std::nullopt);
            if (saveFails)
                x.dialogs.expectError("Cannot save file " + bad + ": ");
        };
        x.type("keep me");
        x.open(x.file("b.htm", "b\r\n"));
        if (!exit)
            x.clickTab(0);
        chooseToSave(exit ? "\"Untitled\" " : "The current file ");
        (exit ? x.f().itmExit : x.f().itmClose)->action()->trigger();
        ANSWERED(x.dialogs);
        QCOMPARE(x.tabs(), QStringList({"* - " + name, "b.htm"}));
        QCOMPARE(x.tabIndex(), 0);
        QVERIFY(x.editorText().startsWith("keep me"));
        QVERIFY(x.f().isVisible());
        QVERIFY(!x.f().Exiting);

        // A close by the frame asks again and is refused while that text is unsaved.
        chooseToSave("\"" + name + "\" ");
        QVERIFY(!x.f().close());
        // Once the user lets it go, each changed document was offered once.
        x.dialogs.expectQuestion("\"" + name + "\" " + kSaveQuestion, mrNo);
        QVERIFY(x.f().close());
        ANSWERED(x.dialogs);
        QVERIFY(x.f().Exiting);
    }

    void closeSelectsTheFirstTabAndTheLastCloseMakesAFreshUntitled()
    {
        EditorFixture x;
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"})
            x.open(x.file(name, QByteArray(name) + "\r\n"));
        x.clickTab(2);
        x.f().itmClose->Click();
        QCOMPARE(x.tabs(), QStringList({"a.htm", "b.htm", "d.htm"}));
        QCOMPARE(x.tabIndex(), 0);
        QCOMPARE(x.editorText(), QByteArray("a.htm\r\n"));
        QCOMPARE(x.f().DocumentList->Items(2)->FileName, QStringLiteral("d.htm"));
        x.f().itmClose->Click();
        x.f().itmClose->Click();
        x.f().pgpEditor->setActivePage(x.f().shtBrowse);
        x.f().itmClose->Click();
        QCOMPARE(x.tabs(), QStringList{"Untitled"});
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - UNTITLED"));
        QCOMPARE(x.f().pgpEditor->activePage(), x.f().shtEdit);
        QVERIFY(x.editorText().startsWith("<!-- Created with"));
    }

    void closeQuestionAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("written");
        QTest::newRow("Yes saves and closes") << int(mrYes) << true << true;
        QTest::newRow("No discards") << int(mrNo) << true << false;
        QTest::newRow("frame cancels") << int(mrCancel) << false << false;
    }
    void closeQuestionAnswers()
    {
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(bool, written);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.type("A");
        x.dialogs.expectQuestion("The current file " + kSaveQuestion, ModalResult(answer));
        x.f().itmClosePage->Click();
        ANSWERED(x.dialogs);
        QCOMPARE(x.tabs(), closed ? QStringList{"Untitled"} : QStringList{"* - a.htm"});
        QCOMPARE(ReadWholeFile(a), written ? QByteArray("Aa\r\n") : QByteArray("a\r\n"));
    }

    void aRelativePathSavesToTheFileItNamedWhenGiven()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open("a.htm");
        x.type("A");
        QDir().mkpath(x.env.workDir() + "/elsewhere");
        QDir::setCurrent(x.env.workDir() + "/elsewhere");
        x.f().itmSave->Click();
        QCOMPARE(ReadWholeFile(a), QByteArray("Aa\r\n"));
        QVERIFY(!QFile::exists(x.env.workDir() + "/elsewhere/a.htm"));
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - a.htm"));
    }
};

ORVIK_TEST_MAIN(tst_SaveClose)
#include "tst_SaveClose.moc"
