#include "TestEnvironment.h"

#include "host/Dialogs.h"
#include "host/EditSurface.h"
#include "host/Guard.h"
#include "host/HostError.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QWidget>

class tst_EditSurface : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        ScriptedDialogs dialogs;
        Guard guard{dialogs};
        QWidget window;
        EditSurface surface{guard, &window};
    };

private slots:
    void linesTextRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("linesText");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("LF becomes CR LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n");
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("no final break") << QByteArray("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("empty lines kept") << QByteArray("\n\n") << QByteArray("\r\n\r\n");
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb\r\n");
        QTest::newRow("NUL kept") << QByteArray("a\0b\nc", 5) << QByteArray("a\0b\r\nc\r\n", 8);
        QTest::newRow("leading NUL") << QByteArray("\0x", 2) << QByteArray("\0x\r\n", 4);
        QTest::newRow("invalid UTF-8 bytes") << QByteArray("\xff\xfe\x80 caf\xe9\n")
                                             << QByteArray("\xff\xfe\x80 caf\xe9\r\n");
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>")
                                        << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>\r\n");
    }
    void linesTextRoundTrip()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, linesText);
        Fixture f;
        f.surface.setLinesText(file);
        QCOMPARE(f.surface.bytes(), file);
        QCOMPARE(f.surface.linesText(), linesText);
    }

    void everyByteValueSurvives()
    {
        QByteArray all;
        for (int round = 0; round < 2; ++round)
            for (int b = 0; b < 256; ++b)
                all.append(char(b));
        Fixture f;
        f.surface.setLinesText(all);
        QVERIFY(!f.surface.isUtf8());
        QCOMPARE(f.surface.bytes(), all);
    }

    void longLineSurvivesWhole()
    {
        QByteArray line(5 * 1024 * 1024, 'x');
        line[1234567] = 'y';
        Fixture f;
        f.surface.setLinesText(line);
        const QByteArray back = f.surface.linesText();
        QCOMPARE(back.size(), line.size() + 2);
        QVERIFY(back.startsWith(line));
    }

    void loadFromFileIsByteExact()
    {
        TestEnvironment env;
        const QByteArray bytes("one\r\ntwo\n\xe9\0three", 16);
        const QString path = env.writeFile(QStringLiteral("page.htm"), bytes);
        Fixture f;
        int changes = 0;
        f.surface.OnChange = [&] { ++changes; };
        f.surface.linesLoadFromFile(path);
        QCOMPARE(f.surface.bytes(), bytes);
        QCOMPARE(changes, 1);
    }

    void loadFromFileRefusesWhatCannotBeRead()
    {
        TestEnvironment env;
        Fixture f;
        f.surface.setLinesText("kept");
        QVERIFY_THROWS_EXCEPTION(EHostError, f.surface.linesLoadFromFile(env.workDir()));
        QVERIFY_THROWS_EXCEPTION(EHostError,
                                 f.surface.linesLoadFromFile(env.workDir() + "/missing.htm"));
        QCOMPARE(f.surface.bytes(), QByteArray("kept"));
    }

    void setLinesTextRaisesOnChangeOnceWithTextInPlace()
    {
        Fixture f;
        int changes = 0;
        QByteArray seen;
        f.surface.OnChange = [&] {
            ++changes;
            seen = f.surface.bytes();
        };
        f.surface.setLinesText("1\r\n2\r\n3\r\n4\r\n");
        QCOMPARE(changes, 1);
        QCOMPARE(seen, QByteArray("1\r\n2\r\n3\r\n4\r\n"));
        f.surface.linesClear();
        QCOMPARE(changes, 2);
        QCOMPARE(f.surface.bytes(), QByteArray());
    }

    void editsRaiseOnChange()
    {
        Fixture f;
        f.surface.setLinesText("hello world");
        int changes = 0;
        f.surface.OnChange = [&] { ++changes; };
        f.surface.setSelStart(0);
        f.surface.setSelLength(5);
        f.surface.setSelText(QStringLiteral("bye"));
        QCOMPARE(changes, 1);
        QCOMPARE(f.surface.bytes(), QByteArray("bye world"));
        QCOMPARE(f.surface.selStart(), 3);
        QCOMPARE(f.surface.selLength(), 0);
        // A user's typing goes through the toolkit.
        f.surface.widget()->insert(QStringLiteral("!"));
        QCOMPARE(changes, 2);
    }

    void clearSelectionOnlyDeletesASelection()
    {
        Fixture f;
        f.surface.setLinesText("abc");
        f.surface.setSelStart(1);
        f.surface.clearSelection();
        QCOMPARE(f.surface.bytes(), QByteArray("abc"));
        f.surface.setSelLength(1);
        QCOMPARE(f.surface.selText(), QStringLiteral("b"));
        f.surface.clearSelection();
        QCOMPARE(f.surface.bytes(), QByteArray("ac"));
    }

    void setSelTextBufStopsAtNul()
    {
        Fixture f;
        f.surface.setLinesText("ab");
        f.surface.setSelStart(1);
        f.surface.setSelTextBuf(QStringLiteral("xy") + QChar(0) + QStringLiteral("z"));
        QCOMPARE(f.surface.bytes(), QByteArray("axyb"));
    }

    void positionsCountCharactersInUtf8()
    {
        Fixture f;
        f.surface.setLinesText("\xc3\xa9t\xc3\xa9\r\n\xe2\x82\xac abc");
        QVERIFY(f.surface.isUtf8());
        QCOMPARE(f.surface.textLength(), 10);
        QCOMPARE(f.surface.findText(QStringLiteral("abc"), 0, 10), 7);
        f.surface.setSelStart(7);
        f.surface.setSelLength(3);
        QCOMPARE(f.surface.selText(), QStringLiteral("abc"));
        f.surface.setSelStart(0);
        f.surface.setSelLength(3);
        QCOMPARE(f.surface.selText(), QString::fromUtf8("\xc3\xa9t\xc3\xa9"));

        // Plain ASCII text that gains a multi-byte letter by typing counts characters too.
        f.surface.setLinesText("ab cd");
        f.surface.setSelStart(1);
        f.surface.widget()->insert(QString::fromUtf8("\xc3\xa9"));
        QCOMPARE(f.surface.findText(QStringLiteral("cd"), 0, 6), 4);
        QCOMPARE(f.surface.textLength(), 6);
    }

    void findTextIgnoresCaseWithinItsRange()
    {
        Fixture f;
        f.surface.setLinesText("abc ABC abc");
        QCOMPARE(f.surface.findText(QStringLiteral("abc"), 1, 10), 4);
        QCOMPARE(f.surface.findText(QStringLiteral("abc"), 9, 2), -1);
        QCOMPARE(f.surface.findText(QStringLiteral("cat"), 0, 11), -1);
        QCOMPARE(f.surface.findText(QString(), 0, 11), -1);
        f.surface.setLinesText("CONCATENATE");
        QCOMPARE(f.surface.findText(QStringLiteral("cat"), 0, 11), 3);
    }

    void findTextFoldsNonAsciiCaseInUtf8()
    {
        Fixture f;
        f.surface.setLinesText("xx \xc3\x89T\xc3\x89 \xd0\x9c\xd0\x98\xd0\xa0");
        QCOMPARE(f.surface.findText(QString::fromUtf8("\xc3\xa9t\xc3\xa9"), 0, 11), 3);
        QCOMPARE(f.surface.findText(QString::fromUtf8("\xd0\xbc\xd0\xb8\xd1\x80"), 0, 11), 7);
        f.surface.setLinesText("caf\xc9 CAF\xe9");
        QVERIFY(!f.surface.isUtf8());
        QCOMPARE(f.surface.findText(QString::fromUtf8("caf\xc3\xa9"), 1, 8), 5);
    }

    void setFocusFailsWhileHidden()
    {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.surface.setFocus();
        f.surface.widget()->hide();
        try {
            f.surface.setFocus();
            QFAIL("no error");
        } catch (const EHostError &e) {
            QCOMPARE(e.message(), QStringLiteral("Cannot focus a disabled or invisible window"));
        }
    }

    void fontAndWrapRaiseNoChange()
    {
        Fixture f;
        f.surface.setLinesText("text");
        int changes = 0;
        f.surface.OnChange = [&] { ++changes; };
        f.surface.setFont(EditorFont{QStringLiteral("Serif"), 14, true, true});
        f.surface.setWordWrap(true);
        QCOMPARE(changes, 0);
        QCOMPARE(f.surface.font(), (EditorFont{QStringLiteral("Serif"), 14, true, true}));
        QCOMPARE(f.surface.widget()->wrapMode(), QsciScintilla::WrapWord);
    }
};

ORVIK_TEST_MAIN(tst_EditSurface)
#include "tst_EditSurface.moc"
