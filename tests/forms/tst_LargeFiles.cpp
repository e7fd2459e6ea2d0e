// Files read in pieces with progress and Cancel, files refused for their size, and typing that
// never reads the whole text.
#include "EditorFixture.h"

#include "host/LoadProgress.h"

#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

namespace {

// Small limits for the test's small files, put back afterwards.
struct SmallLimits
{
    const std::tuple<qint64, qint64, qint64> previous = limits();
    SmallLimits(qint64 threshold, qint64 piece, qint64 limit)
    {
        limits() = {threshold, piece, limit};
    }
    ~SmallLimits() { limits() = previous; }
    static std::tuple<qint64 &, qint64 &, qint64 &> limits()
    {
        return {EditSurface::PieceLoadThreshold, EditSurface::LoadPieceSize,
                EditSurface::LoadLimit};
    }
};

// Presses Cancel once the bar shows, as a user would while the file is read.
void cancelWhenShown(TfrmEditor &form, int *steps)
{
    QTimer::singleShot(0, &form, [&form, steps] {
        auto *cancel = form.findChild<QPushButton *>(QStringLiteral("loadCancel"));
        if (cancel && cancel->isVisible()) {
            cancel->click();
            return;
        }
        ++*steps;
        cancelWhenShown(form, steps);
    });
}

} // namespace

class tst_LargeFiles : public QObject
{
    Q_OBJECT

private slots:
    void piecesKeepEveryByteAndTheOpenOrder_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        // Sequences of two, three and four bytes fall across every piece boundary.
        QTest::newRow("UTF-8")
            << QByteArray("<p>\xc3\xa9\xe2\x82\xac\xf0\x9d\x84\x9e</p>\r\n").repeated(9);
        QTest::newRow("ASCII") << QByteArray("<p>plain</p>\r\n").repeated(9);
        // Not UTF-8 only after several pieces: read again as windows-1252.
        QTest::newRow("8-bit late")
            << QByteArray("<p>\xc3\xa9</p>\r\n").repeated(6) + "\x93q\x94\r\n";
        QTest::newRow("ends inside a sequence")
            << QByteArray("<p>abc</p>\r\n").repeated(3) + "\xe2\x82";
    }
    void piecesKeepEveryByteAndTheOpenOrder()
    {
        QFETCH(QByteArray, bytes);
        const SmallLimits limits(16, 5, 1 << 20);
        EditorFixture x;
        const QString path = x.file("big.htm", bytes);
        x.open(path);
        QCOMPARE(x.editorText(), bytes);
        QCOMPARE(x.tabs(), QStringList({"big.htm"}));
        QVERIFY(x.caption().endsWith(" - " + path));
        QVERIFY(x.f().DocumentList->Items(0)->Saved);
        // The window is given back once the text is in.
        QVERIFY(x.f().centralWidget()->isEnabled());
        QVERIFY(!x.control("loadProgress").isVisible());
        x.type("x");
        QCOMPARE(x.tabs(), QStringList({"* - big.htm"}));
    }

    void cancelAndRefusalLeaveEverythingAsItWas()
    {
        const SmallLimits limits(16, 4, 1000);
        EditorFixture x;
        x.open(x.file("a.htm", "<p>a</p>\r\n"));
        x.type("edit ");
        x.open(x.file("b.htm", "<p>b</p>\r\n"));
        x.clickTab(0);
        const auto state = [&x] {
            return QStringList {x.tabs().join('|'), x.caption(), QString::fromUtf8(x.editorText()),
                                QString::number(x.f().DocumentList->Count()),
                                QString::number(x.editor().selStart())};
        };
        const QStringList before = state();

        int steps = 0;
        cancelWhenShown(x.f(), &steps);
        x.open(x.file("big.htm", QByteArray("<p>big</p>\r\n").repeated(50)));
        QCOMPARE(state(), before);
        QVERIFY(x.f().centralWidget()->isEnabled());
        QVERIFY(!x.control("loadProgress").isVisible());

        // Over the limit: refused with its size before a byte is read.
        const QString huge = x.file("huge.htm", QByteArray(1001, 'h'));
        const QString error =
            "Cannot open file " + huge
            + ".\nIt has 1,001 bytes; this editor opens files of up to 1,000 bytes.";
        x.dialogs.expectError(error);
        x.openGuarded(huge);
        QVERIFY2(x.dialogs.errors.endsWith(error), qPrintable(x.dialogs.errors.join('\n')));
        ANSWERED(x.dialogs);
        QCOMPARE(state(), before);
        // The same file opens once it fits.
        EditSurface::LoadLimit = 1001;
        x.open(huge);
        QCOMPARE(x.editorText(), QByteArray(1001, 'h'));
    }

    void aLongLineIsNamedInTheStatusBar()
    {
        const qint64 limit = EditSurface::LongLineLimit;
        EditSurface::LongLineLimit = 20;
        EditorFixture x;
        const QByteArray text = "a\r\nb\n\r" + QByteArray("\xc3\xa9").repeated(25)
                                + "\r\nshort\r\n";
        const QString notice = "Line 4 has 25 characters: editing it is slow";
        auto *bar = x.f().statusBar();
        // Read whole, and in pieces that cut the line and its characters.
        x.open(x.file("long.htm", text));
        QCOMPARE(bar->currentMessage(), notice);
        {
            const SmallLimits pieces(16, 5, 1 << 20);
            x.open(x.file("long2.htm", text));
            QCOMPARE(bar->currentMessage(), notice);
        }
        x.open(x.file("short.htm", "short\r\n"));
        QCOMPARE(bar->currentMessage(), QString());
        x.clickTab(0);
        QCOMPARE(bar->currentMessage(), notice);
        EditSurface::LongLineLimit = limit;
    }

    void typingNeverReadsTheWholeText()
    {
        EditorFixture x;
        x.open(x.file("a.htm", QByteArray("<p>\xc3\xa9</p>\r\n").repeated(1000)));
        const qint64 reads = x.editor().wholeTextReads();
        for (const char *key : {"a", "\xc3\xa9", "\r\n"})
            x.type(QString::fromUtf8(key));
        QTest::keyClick(&x.scintilla(), Qt::Key_Backspace);
        QCOMPARE(x.editor().wholeTextReads(), reads);
        QCOMPARE(x.tabs(), QStringList({"* - a.htm"}));
    }
};

QTEST_MAIN(tst_LargeFiles)
#include "tst_LargeFiles.moc"
