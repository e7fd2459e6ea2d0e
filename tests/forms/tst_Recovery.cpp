// Recovery copies of unsaved texts, and saves over a file that something else wrote.
#include "EditorFixture.h"

#include "docs/RecoveryStore.h"

#include <QDirIterator>
#include <QFile>

namespace {

// The texts of every run's recovery copies.
QStringList copies(const TestEnvironment &env)
{
    QStringList result;
    QDirIterator it(env.recoveryDir(), {QStringLiteral("*.text")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        result << QString::fromUtf8(ReadWholeFile(it.next()));
    result.sort();
    return result;
}

void overwrite(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class tst_Recovery : public QObject
{
    Q_OBJECT
private slots:
    void saveAsksWhenTheFileChangedOnDisk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::newRow("rewritten, overwrite") << "rewrite" << int(mrYes) << QByteArray("xold\r\n");
        QTest::newRow("rewritten, keep") << "rewrite" << int(mrNo) << QByteArray("other program");
        QTest::newRow("box closed") << "rewrite" << int(mrCancel) << QByteArray("other program");
        QTest::newRow("replaced by a rename") << "rename" << int(mrNo) << QByteArray("old\r\n");
        QTest::newRow("deleted: written again") << "delete" << -1 << QByteArray("xold\r\n");
        QTest::newRow("untouched") << "" << -1 << QByteArray("xold\r\n");
    }
    void saveAsksWhenTheFileChangedOnDisk()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        QFETCH(QByteArray, onDisk);
        EditorFixture x;
        const QString path = x.file(QStringLiteral("a.htm"), "old\r\n");
        x.open(path);
        x.type(QStringLiteral("x"));
        if (change == QLatin1String("rewrite")) {
            overwrite(path, "other program");
        } else if (change == QLatin1String("rename")) {
            // Same size and bytes, another file: what an editor that replaces files leaves.
            const QString other = x.file(QStringLiteral("b.htm"), "old\r\n");
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::rename(other, path));
        } else if (change == QLatin1String("delete")) {
            QVERIFY(QFile::remove(path));
        }
        if (answer >= 0)
            x.dialogs.expectQuestion(
                path + QStringLiteral(" has been changed by another program.\nOverwrite it?"),
                ModalResult(answer));
        x.choose("itmSave");
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(ReadWholeFile(path), onDisk);
        const bool written = onDisk == "xold\r\n";
        QCOMPARE(x.tabs(), QStringList {(written ? "" : "* - ") + QStringLiteral("a.htm")});
        if (!written)
            return;
        // What this document wrote is no change by another program.
        x.type(QStringLiteral("y"));
        x.choose("itmSave");
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }

    // Two tabs of one file: the second save asks, whether the tabs came from a link or from Save
    // As onto the open document's path.
    void aSaveFromOneTabAsksAfterTheOtherWroteTheFile_data()
    {
        QTest::addColumn<bool>("throughSaveAs");
        QTest::newRow("symbolic link") << false;
        QTest::newRow("save as") << true;
    }
    void aSaveFromOneTabAsksAfterTheOtherWroteTheFile()
    {
        QFETCH(bool, throughSaveAs);
        EditorFixture x;
        const QString path = x.file(QStringLiteral("a.htm"), "old\r\n");
        x.open(path);
        if (throughSaveAs) {
            x.choose("itmNew");
            x.type(QStringLiteral("second"));
            x.dialogs.expectSave(path);
            x.choose("itmSaveAs");
        } else {
            const QString link = x.env.workDir() + QStringLiteral("/link.htm");
            QVERIFY(QFile::link(path, link));
            x.open(link);
            x.type(QStringLiteral("second"));
            x.choose("itmSave");
        }
        QVERIFY(ReadWholeFile(path).startsWith("second"));
        x.clickTab(0);
        x.type(QStringLiteral("first"));
        x.dialogs.expectQuestion(QStringLiteral("has been changed by another program"), mrNo);
        x.choose("itmSave");
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs().first(), QStringLiteral("* - a.htm"));
    }

    // What the next start does with the answer to its question; how the copies come to be and
    // go away is tested on the program itself.
    void theNextStartOffersTheCopies_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("fileGivenAgain");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<int>("copiesLeft");
        QTest::newRow("yes restores") << int(mrYes) << false << QStringList {"* - t.css"} << 1;
        QTest::newRow("yes, into the tab of the file given again")
            << int(mrYes) << true << QStringList {"* - t.css"} << 1;
        QTest::newRow("no gives them up") << int(mrNo) << false << QStringList {"Untitled"} << 0;
        QTest::newRow("box closed: kept for the next start")
            << int(mrCancel) << false << QStringList {"Untitled"} << 1;
    }
    void theNextStartOffersTheCopies()
    {
        QFETCH(int, answer);
        QFETCH(bool, fileGivenAgain);
        QFETCH(QStringList, tabs);
        QFETCH(int, copiesLeft);
        EditorFixture x;
        const QString path = x.file(QStringLiteral("t.css"), "p {}\r\n");
        x.open(path);
        x.type(QStringLiteral("A"));
        x.form->WriteRecoveryCopiesNow();
        x.form.reset(); // the run ends without Exit

        x.dialogs.expectQuestion(
            QStringLiteral("1 documents were not saved when the editor last stopped "
                           "unexpectedly.\nRestore them?"),
            ModalResult(answer));
        QStringList arguments {QStringLiteral("OrvikEditor")};
        if (fileGivenAgain)
            arguments << path;
        x.form = std::make_unique<TfrmEditor>(x.dialogs, arguments);
        x.form->show();
        x.form->OfferRecovery();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs(), tabs);
        x.form->WriteRecoveryCopiesNow(); // waits for the writes under way
        QCOMPARE(copies(x.env).size(), copiesLeft);
        if (answer != mrYes)
            return;
        QCOMPARE(x.editorText(), QByteArray("Ap {}\r\n"));
        // Coloured as its file, not as a new page.
        QCOMPARE(x.scintilla().SendScintilla(QsciScintillaBase::SCI_GETLEXER),
                 long(QsciScintillaBase::SCLEX_CSS));
        // The file changed after the stopped run read it: the save asks.
        overwrite(path, "other program");
        x.dialogs.expectQuestion(QStringLiteral("has been changed by another program"), mrNo);
        x.choose("itmSave");
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_Recovery)
#include "tst_Recovery.moc"
