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
        // The colouring notice, the bar's message, and whether the text is coloured.
        const auto shown = [&] {
            const bool plain = x.scintilla().SendScintilla(Sci::SCI_GETLEXER) == Sci::SCLEX_NULL;
            return QStringList {label.isVisible() ? label.text() : QString(), bar.currentMessage(),
                                plain ? "plain" : "coloured"};
        };
        const QString off = "Colouring is off for texts over 100 bytes: this one has %1 bytes";
        const QString slow = "Line 1 has 1,007 characters: editing it is slow";
        const QStringList small {QString(), QString(), "coloured"};
        const QStringList large {off.arg("110"), QString(), "plain"};
        const QStringList both {off.arg("1,009"), slow, "plain"};

        x.open(x.file("small.htm", QByteArray("<p>x</p>\r\n").repeated(10)));
        QCOMPARE(shown(), small);
        x.open(x.file("large.htm", QByteArray("<p>x</p>\r\n").repeated(11)));
        QCOMPARE(shown(), large);
        x.open(x.file("line.htm", "<p>" + QByteArray(1000, 'x') + "</p>\r\n"));
        QCOMPARE(shown(), both);
        // A hint covers the long-line notice while the pointer rests on a button, and gives it
        // back after; the colouring notice stays in view.
        for (const QString &tip : {QStringLiteral("Open HTML File..."), QString()}) {
            QStatusTipEvent hint(tip);
            QApplication::sendEvent(&x.control("btnOpen"), &hint);
            QCOMPARE(shown(), QStringList({both[0], tip.isEmpty() ? slow : tip, "plain"}));
        }
        x.clickTab(1);
        QCOMPARE(shown(), large);
        x.clickTab(0);
        QCOMPARE(shown(), small);
        EditSurface::LargestColouredText = largest;
        EditSurface::LongLineLimit = longest;
    }
};

ORVIK_TEST_MAIN(tst_StatusBar)
#include "tst_StatusBar.moc"
