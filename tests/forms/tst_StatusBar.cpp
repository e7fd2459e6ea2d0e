// What the status bar says of the text in view: colouring off for its size and a long line,
// under the hints that pass over the bar.
#include "EditorFixture.h"

#include <QLabel>
#include <QStatusBar>

using Sci = QsciScintillaBase;

class tst_StatusBar : public QObject
{
    Q_OBJECT

private slots:
    void noticesFollowTheTextInView()
    {
        const qint64 largest = EditSurface::LargestColouredText;
        const qint64 longest = EditSurface::LongLineLimit;
        EditSurface::LargestColouredText = 100;
        EditSurface::LongLineLimit = 120;
        EditorFixture x;
        const QStatusBar &bar = *x.f().statusBar();
        const auto &label = x.control<QLabel>("lblColouring");
        const auto colouring = [&] { return label.isVisible() ? label.text() : QString(); };
        const auto lexer = [&] { return x.scintilla().SendScintilla(Sci::SCI_GETLEXER); };
        const QString off = "Colouring is off for texts over 100 bytes: this one has %1 bytes";
        const QString slow = "Line 1 has 1,007 characters: editing it is slow";

        x.open(x.file("small.htm", QByteArray("<p>x</p>\r\n").repeated(10)));
        QCOMPARE(colouring(), QString());
        QCOMPARE(lexer(), long(Sci::SCLEX_HTML));
        x.open(x.file("large.htm", QByteArray("<p>x</p>\r\n").repeated(11)));
        QCOMPARE(colouring(), off.arg("110"));
        QCOMPARE(lexer(), long(Sci::SCLEX_NULL));
        QCOMPARE(bar.currentMessage(), QString());
        x.open(x.file("line.htm", "<p>" + QByteArray(1000, 'x') + "</p>\r\n"));
        QCOMPARE(colouring(), off.arg("1,009"));
        QCOMPARE(bar.currentMessage(), slow);

        // A hint covers the long-line notice while the pointer rests on a button, and gives it
        // back after; the colouring notice stays in view.
        QStatusTipEvent hint(QStringLiteral("Open HTML File..."));
        QApplication::sendEvent(&x.control("btnOpen"), &hint);
        QCOMPARE(bar.currentMessage(), QStringLiteral("Open HTML File..."));
        QCOMPARE(colouring(), off.arg("1,009"));
        QStatusTipEvent left {QString()};
        QApplication::sendEvent(&x.control("btnOpen"), &left);
        QCOMPARE(bar.currentMessage(), slow);

        x.clickTab(1);
        QCOMPARE(colouring(), off.arg("110"));
        QCOMPARE(bar.currentMessage(), QString());
        x.clickTab(0);
        QCOMPARE(colouring(), QString());
        EditSurface::LargestColouredText = largest;
        EditSurface::LongLineLimit = longest;
    }
};

ORVIK_TEST_MAIN(tst_StatusBar)
#include "tst_StatusBar.moc"
