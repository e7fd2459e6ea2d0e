#include "EditorFixture.h"

#include "host/QtDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

// Both Exit's and Close's question end so.
static const QString kSaveQuestion = QStringLiteral("has changed.\nSave Changes?");

// Saving, closing and exiting, through the window's own handlers on real files.
class tst_SaveClose : public QObject
{
    Q_OBJECT
private slots:
    // One document, opened by a relative path that names a symbolic link.
    void saveWritesThroughALinkAndSaveAsOffersTheFullPath()
    {
        EditorFixture x;
        const QByteArray bytes("\xef\xbb\xbf<p>caf\xe9\0\x80</p>\nend", 20);
        const QString target = x.file("real.htm", bytes);
        const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QFile::setPermissions(target, mode);
        QVERIFY(QFile::link(target, x.env.workDir() + "/link.htm"));
        x.dialogs.expectQuestion("link.htm looks like a binary file", mrYes); // NUL, not UTF-8
        x.open("link.htm");
        x.type("new ");
        // Saved to the file named when given, not into the directory the panel shows later.
        QDir::setCurrent(x.env.cacheDir());
        x.choose("itmSave");
        // Every line ends in CR LF; every other byte is written back unchanged.
        const QByteArray saved("new \xef\xbb\xbf<p>caf\xe9\0\x80</p>\r\nend\r\n", 27);
        QCOMPARE(ReadWholeFile(target), saved);
        QCOMPARE(QFileInfo(target).permissions() & 0x7077, mode);
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - link.htm"));

        // A full disk (a limit on the size of files written) keeps the old file and the mark;
        // the limit's signal does not end the editor.
        x.type(QString(5000, 'n'));
        x.dialogs.expectError("Cannot save file link.htm: File too large");
        {
            const FileSizeLimit full(1000);
            x.choose("itmSave"); // as a user's click: errors are reported
        }
        QCOMPARE(x.tabs(), QStringList {"* - link.htm"});
        QCOMPARE(ReadWholeFile(target), saved);
        QCOMPARE(QDir(x.env.workDir()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"link.htm", "real.htm"}));

        const QString b = x.env.workDir() + "/b.html";
        x.dialogs.expectSave(b);
        x.choose("itmSaveAs");
        ANSWERED(x.dialogs);
        QCOMPARE(x.dialogs.saveRequests.first().fileName, QStringLiteral("link.htm"));
        QCOMPARE(ReadWholeFile(b), QByteArray(5000, 'n') + saved);
        QCOMPARE(ReadWholeFile(target), saved);
        QCOMPARE(x.tabs(), QStringList {"b.html"});
    }

    // Close asks about the current document, Exit about each changed one in turn.
    void questionsOfCloseAndExit_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("onA"); // the answer about a, asked by Exit only
        QTest::addColumn<int>("onB"); // the answer about b, the current document
        QTest::addColumn<QString>("saved"); // which of a and b reach the disk
        QTest::addColumn<QString>("tabs");
        QTest::newRow("Close Page, Yes saves and closes")
            << QString("itmClosePage") << 0 << int(mrYes) << QString("b") << QString("* - a.htm");
        QTest::newRow("Exit, Yes, then a frame-closed question")
            << QString("itmExit") << int(mrYes) << int(mrCancel) << QString("ab")
            << QString("a.htm, b.htm");
    }
    void questionsOfCloseAndExit()
    {
        QFETCH(QString, item);
        QFETCH(int, onA);
        QFETCH(int, onB);
        QFETCH(QString, saved);
        QFETCH(QString, tabs);
        EditorFixture x;
        for (const QString name : {"a", "b"}) {
            x.open(x.file(name + ".htm", ""));
            x.type(name.toUpper());
        }
        const QString untitledPreview = x.env.untitledDir() + "Orvik_temp.ht~";
        const QString otherPreview = x.file("Orvik_temp.ht~", "kept");
        QVERIFY(QFile(untitledPreview).open(QIODevice::WriteOnly));
        const bool exit = item == "itmExit";
        if (exit)
            x.dialogs.expectQuestion("\"a.htm\" " + kSaveQuestion, ModalResult(onA));
        x.dialogs.expectQuestion((exit ? "\"b.htm\" " : "The current file ") + kSaveQuestion,
                                 ModalResult(onB));
        x.choose(qPrintable(item));
        ANSWERED(x.dialogs);
        QCOMPARE(ReadWholeFile(x.env.workDir() + "/a.htm"), saved.contains('a') ? "A\r\n" : "");
        QCOMPARE(ReadWholeFile(x.env.workDir() + "/b.htm"), saved.contains('b') ? "B\r\n" : "");
        QCOMPARE(x.tabs().join(", "), tabs);
        QCOMPARE(x.f().isVisible(), !exit);
        // Exit deletes only the untitled documents' preview file.
        QCOMPARE(QFile::exists(untitledPreview), !exit);
        QVERIFY(QFile::exists(otherPreview));
    }

    // A save that does not happen is reported and leaves that document changed; the next
    // documents are still saved.
    void aChosenSaveThatDidNotHappenKeepsTheDocument_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("saveFails");
        QTest::newRow("Close, Save As cancelled") << "itmClose" << false;
        QTest::newRow("Close, save fails") << "itmClose" << true;
        QTest::newRow("Exit, Save As cancelled") << "itmExit" << false;
        QTest::newRow("Exit, save fails") << "itmExit" << true;
        QTest::newRow("Save All, save fails") << "itmSaveAll" << true;
    }
    void aChosenSaveThatDidNotHappenKeepsTheDocument()
    {
        QFETCH(QString, item);
        QFETCH(bool, saveFails);
        EditorFixture x;
        const QString bad = x.file("plain", "a file") + "/a.htm"; // its parent is a regular file
        // A failed Save As has already named the document.
        const QString name = saveFails ? "a.htm" : "Untitled";
        const auto chooseToSave = [&](const QString &question) {
            if (!question.isEmpty())
                x.dialogs.expectQuestion(question + kSaveQuestion, mrYes);
            if (x.f().DocumentList->Items(0)->FullPath.isEmpty())
                x.dialogs.expectSave(saveFails ? std::optional(bad) : std::nullopt);
            if (saveFails)
                x.dialogs.expectError("Cannot save file " + bad + ": Not a directory");
        };
        x.type("keep me");
        const QString b = x.file("b.htm", "b\r\n");
        x.open(b);
        x.type("B");
        const bool close = item == "itmClose";
        if (close)
            x.clickTab(0);
        chooseToSave(close ? "The current file " : item == "itmExit" ? "\"Untitled\" " : "");
        if (item == "itmExit")
            x.dialogs.expectQuestion("\"b.htm\" " + kSaveQuestion, mrYes);
        x.choose(qPrintable(item));
        ANSWERED(x.dialogs);
        // An untitled document is saved through Save As, which asks before replacing a file.
        QVERIFY(x.dialogs.saveRequests.value(0).overwritePrompt);
        QCOMPARE(x.tabs(), QStringList({"* - " + name, close ? "* - b.htm" : "b.htm"}));
        // Exit stays on the text it could not save; Save All ends on the last tab.
        QVERIFY(x.editorText().startsWith(item == "itmSaveAll" ? "Bb" : "keep me"));
        QVERIFY(x.f().isVisible());
        QVERIFY(!x.f().Exiting);

        // A close by the frame asks again and is refused while that text is unsaved.
        chooseToSave("\"" + name + "\" ");
        if (close)
            x.dialogs.expectQuestion("\"b.htm\" " + kSaveQuestion, mrYes);
        QVERIFY(!x.f().close());
        QCOMPARE(ReadWholeFile(b), QByteArray("Bb\r\n"));
        // Once the user lets it go, each changed document was offered once.
        x.dialogs.expectQuestion("\"" + name + "\" " + kSaveQuestion, mrNo);
        QVERIFY(x.f().close());
        ANSWERED(x.dialogs);
        QCOMPARE(x.dialogs.questionButtons.value(0), TMsgDlgButtons(mbYes | mbNo));
    }

    // Save As through the real dialog: a name typed without an extension gets the chosen type's.
    void saveAsAddsTheChosenTypesExtension_data()
    {
        QTest::addColumn<int>("type"); // its place in the list of types
        QTest::addColumn<QString>("saved");
        QTest::newRow("Web Documents") << 0 << "page.htm";
        QTest::newRow("Active Server Pages") << 1 << "page.asp";
        QTest::newRow("All Files") << 2 << "page";
    }
    void saveAsAddsTheChosenTypesExtension()
    {
        QFETCH(int, type);
        QFETCH(QString, saved);
        TestEnvironment env;
        QtDialogs dialogs;
        TfrmEditor form(dialogs, {"OrvikEditor"});
        dialogs.setOwner(&form);
        form.show();
        WhenModalShown([&](QWidget *dialog) {
            auto *types = dialog->findChild<QComboBox *>("fileTypeCombo");
            for (int i = 0; i < type; ++i)
                QTest::keyClick(types, Qt::Key_Down);
            auto *name = dialog->findChild<QLineEdit *>("fileNameEdit");
            QTest::keyClicks(name, "page");
            QTest::keyClick(name, Qt::Key_Return);
        });
        Choose(form, "itmSaveAs");
        QCOMPARE(QDir(env.workDir()).entryList(QDir::Files), QStringList {saved});
        QCOMPARE(Control<TabStrip>(form).tab(0), saved);
    }
};

ORVIK_TEST_MAIN(tst_SaveClose)
#include "tst_SaveClose.moc"
