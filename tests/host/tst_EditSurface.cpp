#include "TestEnvironment.h"

#include "host/LinesTextWriter.h"
#include "SurfaceFixture.h"
#include "util/HostError.h"

#include <Qsci/qsciscintilla.h>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

using namespace Qt::StringLiterals;

class tst_EditSurface : public QObject
{
    Q_OBJECT

    // A surface that keeps the text it held at each OnChange.
    struct Fixture : SurfaceFixture
    {
        QByteArrayList atChange;

        Fixture()
        {
            surface.OnChange = [this] { atChange << surface.bytes(); };
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
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb\r\n") << true;
        QTest::newRow("bare LF") << QByteArray("a\nb\r\n") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>")
                                        << QByteArray("\xef\xbb\xbf<p>\xc3\xa9</p>\r\n") << true;
        QByteArray all;
        for (int b = 0; b < 512; ++b)
            all.append(char(b));
        // NULs, bytes that are not UTF-8, and breaks that are single CRs and LFs.
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
        QCOMPARE(f.atChange.last(), file); // OnChange comes with the whole text in place

        // A save writes the same bytes in pieces; the rule holds wherever the pieces are cut.
        QByteArray written;
        const ByteSink append = [&written](QByteArrayView piece) {
            written += piece;
            return true;
        };
        QVERIFY(WriteLinesText(f.surface, append));
        QCOMPARE(written, linesText);
        for (qsizetype cut = 0; file.size() < 1024 && cut <= file.size(); ++cut) {
            written.clear();
            CrLfWriter lines(append);
            QVERIFY(lines.add(file.first(cut)) && lines.add({}) && lines.add(file.sliced(cut))
                    && lines.finish());
            QCOMPARE(written, linesText);
        }

        // The same bytes loaded from a file, over 8-bit text, come back the same way.
        TestEnvironment env;
        f.surface.setLinesText("\xe9");
        f.surface.linesLoadFromFile(env.writeFile("page.htm", file));
        QCOMPARE(f.surface.isUtf8(), utf8);
        // A file that cannot be read changes nothing.
        QVERIFY_THROWS_EXCEPTION(EHostError, f.surface.linesLoadFromFile(env.workDir()));
        QCOMPARE(f.surface.bytes(), file);
        QCOMPARE(f.atChange.size(), 3);

        // The same bytes as a text of their own read the same before and after it is shown.
        const std::unique_ptr<EditingDocument> own = f.surface.createDocument(file);
        QCOMPARE(own->linesText(), linesText);
        f.surface.showDocument(*own);
        QCOMPARE(f.surface.isUtf8(), utf8);
        QCOMPARE(f.surface.bytes(), file);
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

    // Plain ASCII text that gains a multi-byte letter by typing counts characters from then on.
    void typingAMultiByteLetterSwitchesToCharacterPositions()
    {
        Fixture f;
        f.surface.setLinesText("ab cd");
        f.surface.setSelStart(1);
        f.type(QString::fromUtf8("\xc3\xa9"));
        QCOMPARE(f.surface.findText(QStringLiteral("cd"), 0, 6), 4);
    }

    // With no assistive tool listening, the component's accessibility layer, which counts
    // every character before the caret at each change and caret move, stays out; once a tool
    // listens it comes back, and changes are still reported once each.
    void accessibilityFollowsTheTools()
    {
        Fixture f;
        f.surface.setLinesText("abc");
        QVERIFY(!QAccessible::queryAccessibleInterface(f.surface.widget())->textInterface());
        QAccessible::setActive(true);
        QAccessibleInterface *full = QAccessible::queryAccessibleInterface(f.surface.widget());
        QVERIFY(full && full->textInterface());
        f.type(QStringLiteral("x"));
        QAccessible::setActive(false);
        f.type(QStringLiteral("y"));
        QCOMPARE(f.atChange, QByteArrayList({"abc", "xabc", "xyabc"}));
    }

    // Texts held apart keep their own encoding; showing one raises OnChange once, with it in
    // place. A shown text that goes away leaves an empty surface that still works.
    void textsAreHeldApart()
    {
        Fixture f;
        const QByteArray eightBit("caf\xe9\r\n"), utf8("\xc3\xa9t\xc3\xa9\r\n");
        std::unique_ptr<EditingDocument> a = f.surface.createDocument(eightBit);
        std::unique_ptr<EditingDocument> b = f.surface.createDocument(utf8);
        f.surface.showDocument(*a);
        f.type(QStringLiteral("A"));
        f.surface.showDocument(*b);
        QVERIFY(f.surface.isUtf8() && b->isShown() && !a->isShown());
        QCOMPARE(a->linesText(), "A" + eightBit);
        f.surface.showDocument(*a);
        QVERIFY(!f.surface.isUtf8());
        QCOMPARE(f.atChange, QByteArrayList({eightBit, "A" + eightBit, utf8, "A" + eightBit}));
        a.reset();
        QCOMPARE(f.surface.bytes(), QByteArray());
        f.surface.setLinesText("x");
        QCOMPARE(b->linesText(), utf8);
    }

    // 8-bit text is shown, found, selected and copied as its windows-1252 characters (the five
    // undefined bytes as their own code points); what comes in is held to those characters.
    void eightBitTextIsWindows1252()
    {
        Fixture f;
        f.surface.setLinesText("\x80 \x93q\x94 \x81\x8d\x8f\x90\x9d \x9c\xe9");
        QVERIFY(!f.surface.isUtf8());
        const QString shown = u"\u20ac \u201cq\u201d \u0081\u008d\u008f\u0090\u009d \u0153\u00e9"_s;
        QCOMPARE(f.sci().text(), shown);
        QCOMPARE(f.surface.textLength(), 14);
        QCOMPARE(f.surface.findText(u"\u0152\u00c9"_s, 0, 14), 12);
        QCOMPARE(f.surface.findText(u"\u008f"_s, 0, 14), 8);
        f.surface.setSelStart(0);
        f.surface.setSelLength(5);
        QCOMPARE(f.surface.selText(), u"\u20ac \u201cq\u201d"_s);

        // The widget's own copy and paste, the logic's paste, typing and an input method.
        f.sci().copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"\u20ac \u201cq\u201d"_s);
        f.surface.setSelStart(14);
        f.sci().paste();
        f.surface.setSelTextBuf(u"\u0436\u2014"_s);
        for (QChar typed : u"\u2122\u0436"_s) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QApplication::sendEvent(f.surface.widget(), &key);
        }
        QInputMethodEvent composed;
        composed.setCommitString(u"\u0436\u00e9"_s);
        QApplication::sendEvent(f.surface.widget(), &composed);
        QGuiApplication::clipboard()->setText(u"\U0001F600"_s);
        f.sci().paste();
        QCOMPARE(f.surface.bytes(),
                 "\x80 \x93q\x94 \x81\x8d\x8f\x90\x9d \x9c\xe9\x80 \x93q\x94?\x97\x99??\xe9?");
        // Shown as it will be saved.
        QCOMPARE(f.sci().text().last(7), u"?\u2014\u2122??\u00e9?"_s);
    }

    // Text of several megabytes goes into the surface in pieces; the result must still be whole
    // characters and lines, one OnChange and one undo step.
    void largeReplaceAllIsOneChangeAndOneUndoStep_data()
    {
        QTest::addColumn<QByteArray>("unit");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QByteArray>("replacedUnit");
        QTest::newRow("UTF-8 gains longer characters")
            << QByteArray("\xc3\xa9z\r\n") << u"z"_s << u"\u20ac\u20ac"_s
            << QByteArray("\xc3\xa9\xe2\x82\xac\xe2\x82\xac\r\n");
        QTest::newRow("ASCII gains a multi-byte letter")
            << QByteArray("ab\r") << u"B"_s << u"\u00e9"_s << QByteArray("a\xc3\xa9\r");
        QTest::newRow("8-bit text")
            << QByteArray("\xe9x\n") << u"X"_s << u"\u201c"_s << QByteArray("\xe9\x93\n");
    }
    void largeReplaceAllIsOneChangeAndOneUndoStep()
    {
        QFETCH(QByteArray, unit);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(QByteArray, replacedUnit);
        constexpr int kUnits = 400'000;
        const QByteArray text = unit.repeated(kUnits);
        Fixture f;
        f.surface.setLinesText(text);
        (void)f.surface.textLength(); // as Replace All from the dialog does first
        f.atChange.clear();
        QCOMPARE(f.surface.replaceAll(find, replacement, 0), kUnits);
        const QByteArray replaced = replacedUnit.repeated(kUnits);
        QCOMPARE(f.atChange, QByteArrayList {replaced});
        QCOMPARE(f.sci().lines(), kUnits + 1);
        QCOMPARE(f.surface.textLength(), QString::fromUtf8(replaced).size());
        f.sci().undo();
        QVERIFY(f.surface.bytes() == text);
        QVERIFY(!f.sci().isUndoAvailable());
        f.sci().redo();
        QVERIFY(f.surface.bytes() == replaced);
    }
};

ORVIK_TEST_MAIN(tst_EditSurface)
#include "tst_EditSurface.moc"
