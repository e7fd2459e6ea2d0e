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

    // A run that ends without Exit leaves copies; the next start offers them.
    void theNextStartRestoresTheCopies()
    {
        EditorFixture x;
        const QString path = x.file(QStringLiteral("t.htm"), "titled\r\n");
        x.open(path);
        x.type(QStringLiteral("A"));
        x.choose("itmNew");
        x.type(QStringLiteral("B"));
        const QByteArray untitled = x.editorText();
        // Written once editing pauses, without any command.
        QTRY_COMPARE_WITH_TIMEOUT(copies(x.env).size(), 2, 10000);
        QCOMPARE(copies(x.env), (QStringList {"Atitled\r\n", QString::fromUtf8(untitled)}));

        // A second editor running beside it leaves its copies alone.
        {
            TfrmEditor second(x.dialogs, {QStringLiteral("OrvikEditor")});
            second.OfferRecovery();
            QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        }
        QCOMPARE(copies(x.env).size(), 2);

        x.form.reset(); // the run ends without Exit
        x.dialogs.expectQuestion(
            QStringLiteral("2 documents were not saved when the editor last stopped "
                           "unexpectedly.\nRestore them?"),
            mrYes);
        x.form = std::make_unique<TfrmEditor>(x.dialogs,
                                              QStringList {QStringLiteral("OrvikEditor")});
        x.form->show();
        x.form->OfferRecovery();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs(), (QStringList {"* - t.htm", "* - Untitled"}));
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - Untitled"));
        QCOMPARE(x.editorText(), untitled);
        // The stopped run's copies became this run's; the file is as it was until a save.
        QCOMPARE(copies(x.env).size(), 2);
        QCOMPARE(ReadWholeFile(path), QByteArray("titled\r\n"));
        x.clickTab(0);
        QCOMPARE(x.editorText(), QByteArray("Atitled\r\n"));
        QCOMPARE(x.caption(), QStringLiteral("Ostra Pagloom - ") + path);
        x.choose("itmSave");
        QCOMPARE(ReadWholeFile(path), QByteArray("Atitled\r\n"));
        x.form->WriteRecoveryCopiesNow(); // waits for the writes under way
        QCOMPARE(copies(x.env), QStringList {QString::fromUtf8(untitled)});

        // No gives the copies up.
        x.form.reset();
        x.dialogs.expectQuestion(QStringLiteral("1 documents were not saved"), mrNo);
        x.form = std::make_unique<TfrmEditor>(x.dialogs,
                                              QStringList {QStringLiteral("OrvikEditor")});
        x.form->OfferRecovery();
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        QCOMPARE(x.tabs(), QStringList {"Untitled"});
        QCOMPARE(copies(x.env), QStringList());
    }

    void saveCloseAndExitRemoveTheCopy_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("question");
        QTest::newRow("save") << "itmSave"
                              << "";
        QTest::newRow("close") << "itmClose"
                               << "The current file has changed";
        QTest::newRow("exit") << "itmExit"
                              << "has changed.\nSave Changes?";
    }
    void saveCloseAndExitRemoveTheCopy()
    {
        QFETCH(QString, item);
        QFETCH(QString, question);
        EditorFixture x;
        x.open(x.file(QStringLiteral("t.htm"), "titled\r\n"));
        x.type(QStringLiteral("A"));
        x.form->WriteRecoveryCopiesNow();
        QCOMPARE(copies(x.env).size(), 1);
        if (!question.isEmpty())
            x.dialogs.expectQuestion(question, mrNo);
        x.choose(qPrintable(item));
        QVERIFY2(x.dialogs.allAnswered(), qPrintable(x.dialogs.report()));
        x.form.reset();
        QCOMPARE(copies(x.env), QStringList());
    }
};

ORVIK_TEST_MAIN(tst_Recovery)
#include "tst_Recovery.moc"
