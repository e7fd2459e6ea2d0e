#include "TestEnvironment.h"

#include "host/SurfaceMarks.h"
#include "host/SyntaxColouring.h"
#include "SurfaceFixture.h"

#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QWidget>

using Sci = QsciScintillaBase;

class tst_SyntaxColouring : public QObject
{
    Q_OBJECT

    struct Fixture : SurfaceFixture
    {
        long send(unsigned int message, unsigned long w = 0, long l = 0)
        {
            return sci().SendScintilla(message, w, l);
        }
        int styleAt(long position)
        {
            send(Sci::SCI_COLOURISE, 0, -1);
            return int(send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)));
        }
        QColor colour(unsigned int message, int style)
        {
            const long c = send(message, static_cast<unsigned long>(style));
            return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
        }
    };

    static double luminance(const QColor &c)
    {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF())
               + 0.0722 * channel(c.blueF());
    }

private slots:
    void eachKindOfFileGetsItsLexer_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("lexer");
        const int html = Sci::SCLEX_HTML, css = Sci::SCLEX_CSS, js = Sci::SCLEX_CPP,
                  xml = Sci::SCLEX_XML, plain = Sci::SCLEX_NULL;
        QTest::newRow("untitled") << QString() << html;
        QTest::newRow("htm") << "/d/a.htm" << html;
        QTest::newRow("HTML upper case") << "/d/A.HTML" << html;
        QTest::newRow("asp") << "/d/a.asp" << html;
        QTest::newRow("css") << "/d/a.css" << css;
        QTest::newRow("js") << "/d/a.js" << js;
        QTest::newRow("xml") << "/d/a.xml" << xml;
        QTest::newRow("txt") << "/d/a.txt" << plain;
        QTest::newRow("no extension") << "/d/README" << plain;
        QTest::newRow("extension on the folder") << "/d.html/notes" << plain;
        QTest::newRow("backup of a page") << "/d/a.html~" << plain;
    }
    void eachKindOfFileGetsItsLexer()
    {
        QFETCH(QString, path);
        QFETCH(int, lexer);
        Fixture f;
        const QByteArray text = "<p class=\"x\">a { color: red } /* c */</p>\r\n";
        const std::unique_ptr<EditingDocument> doc = f.surface.createDocument(text, path);
        f.surface.showDocument(*doc);
        QCOMPARE(f.send(Sci::SCI_GETLEXER), lexer);
        // Styled by that lexer: plain text has one style, the others more.
        QCOMPARE(f.styleAt(1) != 0, lexer != Sci::SCLEX_NULL);
        QCOMPARE(f.surface.bytes(), text);
    }

    void textsKeepTheirColouringAcrossSwitchesAndSaveAs()
    {
        Fixture f;
        const QByteArray text = "<b>x</b>";
        const std::unique_ptr<EditingDocument> page = f.surface.createDocument(text, "a.htm");
        const std::unique_ptr<EditingDocument> notes = f.surface.createDocument(text, "a.txt");
        const std::unique_ptr<EditingDocument> empty = f.surface.createDocument({}, "b.css");
        for (int round = 0; round < 2; ++round) {
            f.surface.showDocument(*page);
            QCOMPARE(f.styleAt(1), 1); // a tag
            // The view draws the shown text's styles in its lexer's colours.
            QCOMPARE(f.colour(Sci::SCI_STYLEGETFORE, 1),
                     SyntaxColouring(f.sci()).foreground(Syntax::Html, 1));
            f.surface.showDocument(*notes);
            QCOMPARE(f.styleAt(1), 0);
            f.surface.showDocument(*empty);
            f.sci().insert(QStringLiteral("p { }"));
            QCOMPARE(f.send(Sci::SCI_GETLEXER), long(Sci::SCLEX_CSS));
            QVERIFY(f.styleAt(0) != 0);
        }
        // Saved under another name, shown or not, a text is coloured as its new kind.
        notes->setPath("a.html");
        f.surface.showDocument(*notes);
        QCOMPARE(f.styleAt(1), 1);
        notes->setPath("a.txt");
        QCOMPARE(f.styleAt(1), 0);
        QCOMPARE(f.surface.bytes(), text);
        QCOMPARE(f.send(Sci::SCI_GETMODIFY), 0L); // colouring is no edit
    }

    void coloursFollowThePalette_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<bool>("atStart"); // the desktop's palette, or a change while running
        for (const bool atStart : {false, true}) {
            const auto row = [&](const char *name, const QColor &base, const QColor &text) {
                QTest::addRow("%s%s", name, atStart ? " at start" : "") << base << text << atStart;
            };
            row("light", Qt::white, Qt::black);
            row("light grey", QColor(0xf0, 0xf0, 0xe8), QColor(0x20, 0x20, 0x20));
            row("dark", QColor(0x1e, 0x1e, 0x1e), QColor(0xe0, 0xe0, 0xe0));
            row("black", Qt::black, Qt::white);
        }
    }
    void coloursFollowThePalette()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, text);
        QFETCH(bool, atStart);
        const QPalette before = QApplication::palette();
        QPalette palette = before;
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        if (atStart)
            QApplication::setPalette(palette);
        Fixture f;
        f.surface.setFont(EditorFont {QStringLiteral("DejaVu Sans Mono"), 13, true, true});
        const std::unique_ptr<EditingDocument> page = f.surface.createDocument("<p>", "a.php");
        f.surface.showDocument(*page);
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        QCOMPARE(f.colour(Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT), base);
        QCOMPARE(f.send(Sci::SCI_STYLEGETITALIC, Sci::STYLE_DEFAULT), 1L);
        QCOMPARE(f.colour(Sci::SCI_STYLEGETFORE, Sci::STYLE_DEFAULT), text);
        QCOMPARE(f.send(Sci::SCI_GETCARETFORE),
                 long(text.red() | text.green() << 8 | text.blue() << 16));
        QVERIFY(f.send(Sci::SCI_GETCARETLINEBACK)
                != long(base.red() | base.green() << 8 | base.blue() << 16));
        for (int style = 0; style < Sci::STYLE_DEFAULT; ++style) {
            const QColor fore = f.colour(Sci::SCI_STYLEGETFORE, style);
            const QColor back = f.colour(Sci::SCI_STYLEGETBACK, style);
            const double a = luminance(fore), b = luminance(back);
            const double contrast = (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
            if (contrast < 3.0)
                QFAIL(qPrintable(
                    QStringLiteral("style %1: %2 on %3").arg(style).arg(fore.name(), back.name())));
            // Backgrounds stay on the palette's side of light and dark; text outside any
            // section is on the page itself.
            QCOMPARE(back.lightness() < 128, base.lightness() < 128);
            if (style == 0)
                QCOMPARE(QList<QColor>({fore, back}), QList<QColor>({text, base}));
            // Colouring keeps the user's font.
            char name[64] = {};
            f.sci().SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(style), name);
            QCOMPARE(QByteArray(name), QByteArray("DejaVu Sans Mono"));
            QCOMPARE(f.send(Sci::SCI_STYLEGETSIZE, static_cast<unsigned long>(style)), 13L);
            // The weight passes through as Qt's, which the default style holds.
            for (unsigned int message : {Sci::SCI_STYLEGETWEIGHT, Sci::SCI_STYLEGETITALIC})
                QCOMPARE(f.send(message, static_cast<unsigned long>(style)),
                         f.send(message, Sci::STYLE_DEFAULT));
        }
        QApplication::setPalette(before);
    }

    void lineNumbersFitTheLineCount()
    {
        Fixture f;
        f.surface.setLinesText("a\r\nb");
        const long few = f.send(Sci::SCI_GETMARGINWIDTHN, 0);
        const QByteArray digits = "99999";
        const long fiveDigits = f.sci().SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER,
                                                      digits.constData());
        QVERIFY(few > 0 && few < fiveDigits);
        f.surface.setLinesText(QByteArray(12345, '\n'));
        QVERIFY(f.send(Sci::SCI_GETMARGINWIDTHN, 0) > fiveDigits);
        f.surface.setFont(EditorFont {QStringLiteral("DejaVu Sans"), 30, false, false});
        QVERIFY(f.send(Sci::SCI_GETMARGINWIDTHN, 0) > 2 * fiveDigits);
    }

    // '|' is the caret; [..] the names marked, which come in pairs or not at all.
    void matchingTagsAreFound_data()
    {
        QTest::addColumn<QByteArray>("marked");
        QTest::addColumn<bool>("html");
        QTest::newRow("in the opening name") << QByteArray("<[d|iv] id=a><p></p></[div]>") << true;
        QTest::newRow("before the opening <") << QByteArray("|<[div]>x</[div]>") << true;
        QTest::newRow("just after the opening >") << QByteArray("<[div]>|x</[div]>") << true;
        QTest::newRow("in the attributes") << QByteArray("<[a] href=\"|x\">y</[a]>") << true;
        QTest::newRow("in the closing tag") << QByteArray("<[b]><b></b></[b|]>") << true;
        QTest::newRow("nested same names") << QByteArray("<[ul]><ul><li></ul>|</[ul]>x") << false;
        QTest::newRow("HTML ignores case") << QByteArray("<[DIV]>x</[d|iv]>") << true;
        QTest::newRow("XML keeps case") << QByteArray("<Div>x</d|iv>") << false;
        QTest::newRow("self-closing in between") << QByteArray("<[g]><g/>|</[g]>") << false;
        QTest::newRow("void element") << QByteArray("<p><b|r></p>") << true;
        QTest::newRow("no partner") << QByteArray("<p>|<i>x</p>") << true;
        QTest::newRow("in the text") << QByteArray("<p>a|b</p>") << true;
        QTest::newRow("comment") << QByteArray("<!-|- x --><p></p>") << true;
    }
    void matchingTagsAreFound()
    {
        QFETCH(QByteArray, marked);
        QFETCH(bool, html);
        QByteArray text;
        qsizetype caret = -1;
        QList<qsizetype> brackets;
        for (char c : marked) {
            if (c == '|')
                caret = text.size();
            else if (c == '[' || c == ']')
                brackets << text.size();
            else
                text += c;
        }
        const TagMatch match = MatchingTag(text, caret, html);
        QList<qsizetype> found;
        if (match.partner.first >= 0) {
            found << std::min(match.here.first, match.partner.first)
                  << std::min(match.here.second, match.partner.second)
                  << std::max(match.here.first, match.partner.first)
                  << std::max(match.here.second, match.partner.second);
        }
        QCOMPARE(found, brackets);

        // In the surface they are marked, and only they.
        Fixture f;
        const std::unique_ptr<EditingDocument> doc = f.surface.createDocument(text, html ? "a.html"
                                                                                         : "a.xml");
        f.surface.showDocument(*doc);
        f.sci().resize(400, 200);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.surface.setSelStart(int(caret));
        f.sci().viewport()->repaint(); // the view tells of a moved caret when it paints
        QList<qsizetype> shown;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool on = f.send(Sci::SCI_INDICATORVALUEAT, SurfaceMarks::kTagIndicator, long(i));
            const bool before = i > 0
                                && f.send(Sci::SCI_INDICATORVALUEAT, SurfaceMarks::kTagIndicator,
                                          long(i - 1));
            if (on != before)
                shown << i;
            if (i == text.size() - 1 && on)
                shown << text.size();
        }
        QCOMPARE(shown, brackets);
    }
};

ORVIK_TEST_MAIN(tst_SyntaxColouring)
#include "tst_SyntaxColouring.moc"
