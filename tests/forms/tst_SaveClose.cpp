#include "EditorFixture.h"

#include "host/MenuItem.h"
#include "host/PageControl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

namespace {

// Limits the size of files this process may write, as a full disk would.
struct FileSizeLimit
{
    rlimit previous{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
};

const QString kSaveQuestion = QStringLiteral("has changed.\nSave Changes?");
const QString kCloseQuestion = QStringLiteral("The current file has changed.\nSave Changes?");

} // namespace

// Saving, closing and exiting, through the window's own handlers on real files.
class tst_SaveClose : public QObject
{
    Q_OBJECT
private slots:
    void saveOfUntitledGoesToSaveAsAndCancelChangesNothing()
    {
        EditorFixture x;
        x.type("x");
        x.dialogs.expectSave(std::nullopt);
        x.f().itmSave->Click();
        const FileDialogRequest &request = x.dialogs.saveRequests.first();
        QCOMPARE(request.initialDir, x.env.workDir());
        QCOMPARE(request.fileName, QString());
        QVERIFY(request.overwritePrompt);
        QCOMPARE(request.filters.size(), 3);
        QCOMPARE(x.tabs(), QStringList{"* - Untitled"});
        QVERIFY(x.f().DocumentList->Items(0)->FullPath.isEmpty());
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void saveAsOffersTheFullPathAndWritesExactly()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "one\ntwo");
        x.open(a);
        x.type("0");
        const QString b = x.env.workDir() + "/b.html";
        x.dialogs.expectSave(b);
        x.f().itmSaveAs->Click();
        QCOMPARE(x.dialogs.saveRequests.first().fileName, a);
        QCOMPARE(ReadWholeFile(b), QByteArray("0one\r\ntwo\r\n"));
        QCOMPARE(ReadWholeFile(a), QByteArray("one\ntwo"));
        QCOMPARE(x.tabs(), QStringList{"b.html"});
        QCOMPARE(x.caption(), "Ostra Pagloom - " + b);
        QVERIFY(x.f().DocumentList->Items(0)->Saved);
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void loadedBytesAreWrittenBackUnchanged()
    {
        EditorFixture x;
        const QByteArray bytes("\xef\xbb\xbf<p>caf\xe9\0\x80</p>\r\n", 18);
        const QString a = x.file("a.htm", bytes);
        x.open(a);
        x.type("");
        x.f().itmSave->Click();
        QCOMPARE(ReadWholeFile(a), bytes);
    }

    void saveKeepsPermissionsAndFollowsLinks()
    {
        EditorFixture x;
        const QString target = x.file("real.htm", "old\r\n");
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ReadGroup);
        const QString link = x.env.workDir() + "/link.htm";
        QVERIFY(QFile::link(target, link));
        x.open(link);
        x.type("new ");
        x.f().itmSave->Click();
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadWholeFile(target), QByteArray("new old\r\n"));
        QCOMPARE(QFileInfo(target).permissions() & 0x7077,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
    }

    void failedSavesKeepTheOldFileAndTheMark_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("parent is a regular file") << "parent";
        QTest::newRow("vanished directory") << "vanished";
        QTest::newRow("target is a directory") << "directory";
        QTest::newRow("disk full") << "full";
    }
    void failedSavesKeepTheOldFileAndTheMark()
    {
        QFETCH(QString, kind);
        EditorFixture x;
        QString path = x.file("dir/page.htm", "old content\r\n");
        if (kind == "parent") {
            x.file("plain", "a file");
            path = x.env.workDir() + "/plain/page.htm";
        }
        if (kind != "parent")
            x.open(path);
        if (kind == "parent") {
            x.type("new ");
            x.dialogs.expectSave(path);
        } else {
            x.type(QString(5000, 'n'));
        }
        if (kind == "vanished")
            QDir(x.env.workDir() + "/dir").removeRecursively();
        if (kind == "directory") {
            QFile::remove(path);
            QDir().mkpath(path);
        }
        x.dialogs.expectError("Cannot save file " + path);
        {
            std::optional<FileSizeLimit> limit;
            if (kind == "full")
                limit.emplace(1000);
            x.f().guard.run([&] { x.f().itmSave->Click(); });
        }
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QVERIFY(!x.f().DocumentList->Items(0)->Saved);
        QVERIFY(x.tabs().first().startsWith("* - "));
        if (kind == "full") {
            QCOMPARE(ReadWholeFile(path), QByteArray("old content\r\n"));
            QVERIFY2(x.dialogs.errors.first().contains("large"), qPrintable(x.dialogs.errors.first()));
        }
        QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(),
                 kind == "full" ? 1 : 0);
    }

    void saveAllSavesOnlyChangedDocumentsAndEndsOnTheLastTab()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        const QString b = x.file("b.htm", "b\r\n");
        const QString c = x.file("c.htm", "c\r\n");
        x.open(a);
        x.open(b);
        x.type("B");
        x.open(c);
        x.clickTab(0);
        x.f().itmSaveAll->Click();
        QCOMPARE(ReadWholeFile(b), QByteArray("Bb\r\n"));
        QCOMPARE(ReadWholeFile(a), QByteArray("a\r\n"));
        QCOMPARE(x.tabIndex(), 2);
        QCOMPARE(x.tabs(), QStringList({"a.htm", "b.htm", "c.htm"}));
        QCOMPARE(x.caption(), "Ostra Pagloom - " + c);
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void saveAllOutsideExitNeverAsksAndOpensSaveAsForUntitled()
    {
        EditorFixture x;
        x.type("u");
        x.open(x.file("a.htm", "a\r\n"));
        x.dialogs.expectSave(std::nullopt);
        x.f().itmSaveAll->Click();
        QVERIFY(x.dialogs.questions.isEmpty());
        QCOMPARE(x.tabs(), QStringList({"* - Untitled", "a.htm"}));
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void exitAsksInTabOrder_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QByteArray>("fileA");
        QTest::addColumn<QByteArray>("fileB");
        QTest::newRow("No twice discards") << int(mrNo) << int(mrNo) << QByteArray("a\r\n")
                                          << QByteArray("b\r\n");
        QTest::newRow("Yes and a frame-closed question save")
            << int(mrYes) << int(mrCancel) << QByteArray("Aa\r\n") << QByteArray("Bb\r\n");
    }
    void exitAsksInTabOrder()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QByteArray, fileA);
        QFETCH(QByteArray, fileB);
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        const QString b = x.file("b.htm", "b\r\n");
        x.open(a);
        x.type("A");
        x.open(b);
        x.type("B");
        x.dialogs.expectQuestion("\"a.htm\" " + kSaveQuestion, ModalResult(first));
        x.dialogs.expectQuestion("\"b.htm\" " + kSaveQuestion, ModalResult(second));
        x.f().itmExit->Click();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.dialogs.questionTypes.first(), TMsgDlgType::mtConfirmation);
        QCOMPARE(x.dialogs.questionButtons.first(), TMsgDlgButtons(mbYes | mbNo));
        QCOMPARE(ReadWholeFile(a), fileA);
        QCOMPARE(ReadWholeFile(b), fileB);
        QVERIFY(!x.f().isVisible());
        QVERIFY(x.f().Exiting);
    }

    void exitStopsWhenAChosenSaveDidNotHappen()
    {
        EditorFixture x;
        x.type("keep me");
        x.open(x.file("a.htm", "a\r\n"));
        x.dialogs.expectQuestion("\"Untitled\"", mrYes);
        x.dialogs.expectSave(std::nullopt);
        x.f().itmExit->Click();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QVERIFY(x.f().isVisible());
        QVERIFY(!x.f().Exiting);
        QCOMPARE(x.tabIndex(), 0);
        QVERIFY(x.editorText().startsWith("keep me"));

        // A later close by the frame asks again and stays open while the text is unsaved.
        x.dialogs.expectQuestion("\"Untitled\"", mrYes);
        x.dialogs.expectSave(std::nullopt);
        QVERIFY(!x.f().close());
        QVERIFY(x.f().isVisible());
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));

        x.dialogs.expectQuestion("\"Untitled\"", mrNo);
        QVERIFY(x.f().close());
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void exitStopsWhenASaveFails()
    {
        EditorFixture x;
        x.file("plain", "a file");
        const QString bad = x.env.workDir() + "/plain/a.htm";
        x.type("t");
        x.dialogs.expectQuestion("\"Untitled\"", mrYes);
        x.dialogs.expectSave(bad);
        x.dialogs.expectError("Cannot save file " + bad);
        x.f().guard.run([&] { x.f().itmExit->Click(); });
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QVERIFY(x.f().isVisible());
        QVERIFY(!x.f().Exiting);
    }

    void closingByTheFrameOffersEachChangedDocumentOnce()
    {
        EditorFixture x;
        x.open(x.file("a.htm", "a\r\n"));
        x.type("A");
        x.dialogs.expectQuestion("\"a.htm\"", mrNo);
        QVERIFY(x.f().close());
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QVERIFY(x.f().Exiting);
    }

    void exitDeletesOnlyTheUntitledPreviewFile()
    {
        EditorFixture x;
        const QString untitledPreview = x.env.untitledDir() + "Orvik_temp.ht~";
        const QString otherPreview = x.file("Orvik_temp.ht~", "kept");
        QVERIFY(QFile(untitledPreview).open(QIODevice::WriteOnly));
        x.f().itmExit->Click();
        QVERIFY(!QFile::exists(untitledPreview));
        QVERIFY(QFile::exists(otherPreview));
        // An absent file is no error either.
        EditorFixture y;
        y.f().itmExit->Click();
        QVERIFY2(y.dialogs.allAnswered(), qPrintable(y.dialogs.report()));
    }

    void closeOfTheThirdOfFourSelectsTheFirst()
    {
        EditorFixture x;
        QStringList paths;
        for (const char *name : {"a.htm", "b.htm", "c.htm", "d.htm"})
            x.open(x.file(name, QByteArray(name) + "\r\n"));
        x.clickTab(2);
        x.f().itmClose->Click();
        QCOMPARE(x.tabs(), QStringList({"a.htm", "b.htm", "d.htm"}));
        QCOMPARE(x.tabIndex(), 0);
        QCOMPARE(x.editorText(), QByteArray("a.htm\r\n"));
        QCOMPARE(x.f().DocumentList->Count(), 3);
        QCOMPARE(x.f().DocumentList->Items(2)->FileName, QStringLiteral("d.htm"));
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    void closeOfTheOnlyDocumentMakesAFreshUntitled()
    {
        EditorFixture x;
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
        x.dialogs.expectQuestion(kCloseQuestion, ModalResult(answer));
        x.f().itmClosePage->Click();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs(), closed ? QStringList{"Untitled"} : QStringList{"* - a.htm"});
        QCOMPARE(ReadWholeFile(a), written ? QByteArray("Aa\r\n") : QByteArray("a\r\n"));
    }

    void closeKeepsAnUntitledDocumentWhoseSaveWasCancelled()
    {
        EditorFixture x;
        x.type("precious");
        x.dialogs.expectQuestion(kCloseQuestion, mrYes);
        x.dialogs.expectSave(std::nullopt);
        x.f().itmClose->Click();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs(), QStringList{"* - Untitled"});
        QVERIFY(x.editorText().startsWith("precious"));
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

    void saveAsOntoAnotherOpenDocumentIsAllowed()
    {
        EditorFixture x;
        const QString a = x.file("a.htm", "a\r\n");
        x.open(a);
        x.open(x.file("b.htm", "b\r\n"));
        x.dialogs.expectSave(a);
        x.f().itmSaveAs->Click();
        QCOMPARE(x.f().DocumentList->Items(0)->FullPath, a);
        QCOMPARE(x.f().DocumentList->Items(1)->FullPath, a);
        QCOMPARE(ReadWholeFile(a), QByteArray("b\r\n"));
    }
};

ORVIK_TEST_MAIN(tst_SaveClose)
#include "tst_SaveClose.moc"
