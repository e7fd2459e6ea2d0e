#include "TestEnvironment.h"

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
        int changes = 0;
        QByteArray textAtChange;

        Fixture()
        {
            surface.OnChange = [this] {
                ++changes;
                textAtChange = surface.bytes();
            };
        }
    };

private slots:
    void bytesSurviveAndLinesTextEndsEveryLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("linesText");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("empty") << QByteArray() << QByteArray() << true;
        QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("LF becomes CR LF") << QByteArray("a\nb\n") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("lone CR ends a line") << QByteArray("a\rb") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb\r\n") << true;
        QTest::newRow("NUL kept") << QByteArray("\0a\0b\nc", 6) << QByteArray("\0a\0b\r\nc\r\n", 9) << true;
        QTest::newRow("invalid UTF-8 bytes") << QByteArray("\xff\xfe\x80 caf\xe9\n")
                                             << QByteArray("\xff\xfe\x80 caf\xe9\r\n") << false;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>")
                                        << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>\r\n") << true;
        QByteArray all;
        for (int b = 0; b < 512; ++b)
            all.append(char(b));
        // Its only breaks are single CRs and LFs.
        QTest::newRow("every byte value")
            << all << (QByteArray(all).replace('\r', '\n').replace("\n", "\r\n") + "\r\n") << false;
        QByteArray line(3 * 1024 * 1024, 'x'); // longer than the loader's pieces
        line[1234567] = 'y';
        QTest::newRow("3 MB line") << line << line + "\r\n" << true;
    }
    void bytesSurviveAndLinesTextEndsEveryLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, linesText);
        QFETCH(bool, utf8);
        Fixture f;
        f.surface.setLinesText(file);
        QCOMPARE(f.surface.bytes(), file);
        QCOMPARE(f.surface.linesText(), linesText);
        QCOMPARE(f.surface.isUtf8(), utf8);
        QCOMPARE(f.textAtChange, file); // OnChange comes with the whole text in place

        // The same bytes loaded from a file, over 8-bit text, come back the same way.
        TestEnvironment env;
        f.surface.setLinesText("\xe9");
        f.surface.linesLoadFromFile(env.writeFile("page.htm", file));
        QCOMPARE(f.surface.isUtf8(), utf8);
        // A file that cannot be read changes nothing.
        QVERIFY_THROWS_EXCEPTION(EHostError, f.surface.linesLoadFromFile(env.workDir()));
        QCOMPARE(f.surface.bytes(), file);
        QCOMPARE(f.changes, 3);
    }

    void filesThatMisstateTheirSizeAreReadWhole()
    {
        // Kernel files report a size of nothing; their bytes must arrive all the same.
        QFile version(QStringLiteral("/proc/version"));
        QVERIFY(version.open(QIODevice::ReadOnly));
        Fixture f;
        f.surface.linesLoadFromFile(version.fileName());
        QCOMPARE(f.surface.bytes(), version.readAll());
    }

    void editsChangeOnlyTheSelectionAndRaiseOnChange()
    {
        Fixture f;
        f.surface.setLinesText("hello world");
        f.surface.setSelStart(1);
        f.surface.clearSelection(); // nothing selected: nothing deleted
        f.surface.setSelLength(4);
        QCOMPARE(f.surface.selText(), QStringLiteral("ello"));
        f.surface.setSelText(QStringLiteral("ey"));
        QCOMPARE(f.surface.bytes(), QByteArray("hey world"));
        QCOMPARE(f.surface.selStart(), 3);
        QCOMPARE(f.surface.selLength(), 0);
        f.surface.setSelLength(1);
        f.surface.clearSelection();
        // Pasted text stops at its first NUL; a user's typing goes through the toolkit.
        f.surface.setSelTextBuf(QStringLiteral(",") + QChar(0) + QStringLiteral("z"));
        f.surface.widget()->insert(QStringLiteral("!"));
        QCOMPARE(f.surface.bytes(), QByteArray("hey,!world"));
        QCOMPARE(f.changes, 5);

        const EditorFont font{QStringLiteral("Serif"), 14, true, true};
        f.surface.setFont(font);
        f.surface.setWordWrap(true);
        QCOMPARE(f.changes, 5);
        QCOMPARE(f.surface.font(), font);
        QCOMPARE(f.surface.widget()->wrapMode(), QsciScintilla::WrapWord);
        f.surface.linesClear();
        QCOMPARE(f.changes, 6);
        QCOMPARE(f.surface.bytes(), QByteArray());
    }

    void positionsCountCharactersInUtf8()
    {
        Fixture f;
        f.surface.setLinesText("\xc3\xa9t\xc3\xa9\r\n\xe2\x82\xac abc");
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
        const auto find = [&](const QByteArray &text, const char *what, int start, int length) {
            f.surface.setLinesText(text);
            return f.surface.findText(QString::fromUtf8(what), start, length);
        };
        QCOMPARE(find("abc ABC abc", "abc", 1, 10), 4);
        QCOMPARE(find("abc ABC abc", "abc", 9, 2), -1); // the last one ends past the range
        QCOMPARE(find("abc ABC abc", "cat", 0, 11), -1);
        QCOMPARE(find("abc ABC abc", "", 0, 11), -1);
        QCOMPARE(find("CONCATENATE", "cat", 0, 11), 3);
        const QByteArray utf8("xx \xc3\x89T\xc3\x89 \xd0\x9c\xd0\x98\xd0\xa0");
        QCOMPARE(find(utf8, "\xc3\xa9t\xc3\xa9", 0, 11), 3);
        QCOMPARE(find(utf8, "\xd0\xbc\xd0\xb8\xd1\x80", 0, 11), 7);
        QCOMPARE(find("caf\xc9 CAF\xe9", "caf\xc3\xa9", 1, 8), 5); // 8-bit text
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
};

ORVIK_TEST_MAIN(tst_EditSurface)
#include "tst_EditSurface.moc"
