#include "TestEnvironment.h"

#include "host/EditSurface.h"
#include "host/FoldedSearch.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <Qsci/qsciscintilla.h>
#include <QRandomGenerator>
#include <QWidget>

namespace {

// Case-insensitive search as the editor's find does it, on decoded text: an ASCII needle folds
// ASCII letters only, any other needle every letter.
qsizetype indexOfFolded(const QString &text, const QString &needle, qsizetype from)
{
    bool ascii = true;
    for (QChar c : needle)
        ascii = ascii && c.unicode() < 0x80;
    if (!ascii)
        return text.indexOf(needle, from, Qt::CaseInsensitive);
    const auto lower = [](char16_t c) { return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c; };
    for (qsizetype p = from; p + needle.size() <= text.size(); ++p) {
        qsizetype k = 0;
        while (k < needle.size() && lower(text[p + k].unicode()) == lower(needle[k].unicode()))
            ++k;
        if (k == needle.size())
            return p;
    }
    return -1;
}

struct Outcome
{
    QString text;
    qsizetype caret = -1; // in UTF-16 units of text
};

// Replace All as the steps read: replace the first occurrence from start, then the first from
// the top, again and again; nullopt after more than cap replacements.
std::optional<Outcome> literalReplaceAll(QString text, const QString &f, const QString &r,
                                         qsizetype start, qsizetype cap)
{
    Outcome o;
    qsizetype from = start;
    for (qsizetype n = 0;; from = 0) {
        const qsizetype p = indexOfFolded(text, f, from);
        if (p < 0)
            break;
        if (++n > cap)
            return std::nullopt;
        text.replace(p, f.size(), r);
        o.caret = p + r.size();
    }
    o.text = text;
    return o;
}

// Each occurrence of the original text replaced once: from the first at or after start to the
// end, then the ones that lie wholly before it.
Outcome sweepReplaceAll(const QString &text, const QString &f, const QString &r, qsizetype start)
{
    const qsizetype first = indexOfFolded(text, f, start);
    Outcome o;
    qsizetype forwardCaret = -1, prefixCaret = -1;
    QString prefix;
    qsizetype i = 0;
    for (qsizetype p; (p = indexOfFolded(text.left(first), f, i)) >= 0; i = p + f.size()) {
        prefix += text.mid(i, p - i) + r;
        prefixCaret = prefix.size();
    }
    prefix += text.mid(i, first - i);
    QString rest = r;
    forwardCaret = prefix.size() + rest.size();
    for (i = first + f.size();;) {
        const qsizetype p = indexOfFolded(text, f, i);
        if (p < 0)
            break;
        rest += text.mid(i, p - i) + r;
        forwardCaret = prefix.size() + rest.size();
        i = p + f.size();
    }
    rest += text.mid(i);
    o.text = prefix + rest;
    o.caret = prefixCaret >= 0 ? prefixCaret : forwardCaret;
    return o;
}

QString randomText(QRandomGenerator &random, const QList<QChar> &alphabet, int maxLength)
{
    QString s;
    const int n = random.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i)
        s += alphabet[random.bounded(int(alphabet.size()))];
    return s;
}

struct Surface
{
    ScriptedDialogs dialogs;
    Guard guard{dialogs};
    QWidget window;
    EditSurface surface{guard, &window};
};

} // namespace

class tst_FoldedSearch : public QObject
{
    Q_OBJECT

private slots:
    // Against the steps read literally, wherever those end within a replacement per byte and
    // the replacement does not contain the search text; against the sweep otherwise.
    void replaceAllAgreesWithTheLiteralSteps_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("UTF-8") << true << QString::fromUtf8("aAb\xc3\xa9\xc3\x89");
        QTest::newRow("8-bit") << false << QString::fromUtf8("aAb\xc3\xa9\xc3\x89");
        QTest::newRow("UTF-8, Kelvin sign and long s")
            << true << QString::fromUtf8("kKs\xe2\x84\xaa\xc5\xbf\xc3\xa9");
    }
    void replaceAllAgreesWithTheLiteralSteps()
    {
        QFETCH(bool, utf8);
        QFETCH(QString, alphabet);
        QList<QChar> letters(alphabet.begin(), alphabet.end());
        QRandomGenerator random(20240611);
        int exact = 0, swept = 0;
        for (int round = 0; round < 30000; ++round) {
            const QString text = randomText(random, letters, 10);
            QString f = randomText(random, letters, 3);
            const QString r = randomText(random, letters, 3);
            const qsizetype start = random.bounded(int(text.size()) + 1);
            const auto encode = [&](const QString &s) { return utf8 ? s.toUtf8() : s.toLatin1(); };
            const QByteArray bytes = encode(text);

            const ReplaceAllResult got = ReplaceAllBytes(bytes, utf8, f, r,
                                                         encode(text.left(start)).size());
            const QString row = QStringLiteral("text '%1' find '%2' replace '%3' from %4")
                                    .arg(text, f, r).arg(start);
            const bool found = !f.isEmpty() && indexOfFolded(text, f, start) >= 0;
            QVERIFY2((got.replacements > 0) == found, qPrintable(row));
            if (!found)
                continue;
            std::optional<Outcome> want;
            if (indexOfFolded(r, f, 0) < 0)
                want = literalReplaceAll(text, f, r, start, bytes.size());
            if (want)
                ++exact;
            else
                ++swept, want = sweepReplaceAll(text, f, r, start);
            const QString gotText = utf8 ? QString::fromUtf8(got.text)
                                         : QString::fromLatin1(got.text);
            QVERIFY2(got.text == encode(want->text),
                     qPrintable(row + QStringLiteral(" gave '%1', wanted '%2'")
                                          .arg(gotText, want->text)));
            QVERIFY2(got.caret == encode(want->text.left(want->caret)).size(), qPrintable(row));
        }
        // Both ways were taken often enough to mean something.
        QVERIFY(exact > 1000);
        QVERIFY(swept > 100);
    }

    // Replace All must find what Find Next finds.
    void matcherFindsWhatTheSurfaceFinds()
    {
        Surface s;
        const QList<QChar> letters = [] {
            const QString a
                = QString::fromUtf8("aAkKsS\xe2\x84\xaa\xc5\xbf\xc3\xa9\xc3\x89\xc3\x9f\r\n");
            return QList<QChar>(a.begin(), a.end());
        }();
        QRandomGenerator random(7);
        for (int round = 0; round < 3000; ++round) {
            const QString text = randomText(random, letters, 12);
            const QString needle = randomText(random, letters, 3);
            s.surface.setLinesText(text.toUtf8());
            const int length = s.surface.textLength();
            const int start = random.bounded(length + 1);
            const int expected = s.surface.findText(needle, start, length - start);
            const FoldedMatcher matcher(needle, true);
            qsizetype matched = 0;
            const qsizetype at = matcher.find(s.surface.bytes(), s.surface.bytePosition(start),
                                              &matched);
            const int got = at < 0 ? -1 : s.surface.charPosition(at);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("'%1' in '%2' from %3: %4, not %5")
                                                     .arg(needle, text).arg(start).arg(got)
                                                     .arg(expected)));
            if (at >= 0)
                QCOMPARE(s.surface.charPosition(at + matched) - got,
                         s.surface.characterCount(needle));
        }
    }

    // A change that begins inside a multi-byte character is replaced from its first byte, so
    // the surface keeps counting characters right and the undo step restores every byte.
    void surfaceReplacesWholeCharacters()
    {
        Surface s;
        const QByteArray text("x\xc3\xa9y \xc3\xa9\r\n\xe2\x82\xac");
        s.surface.setLinesText(text);
        int changes = 0;
        s.surface.OnChange = [&] { ++changes; };
        QCOMPARE(s.surface.replaceAll(QString::fromUtf8("\xc3\xa9"),
                                      QString::fromUtf8("\xc3\xa8"), 0),
                 qsizetype(2));
        QCOMPARE(changes, 1);
        QCOMPARE(s.surface.bytes(), QByteArray("x\xc3\xa8y \xc3\xa8\r\n\xe2\x82\xac"));
        QCOMPARE(s.surface.textLength(), 8);
        QCOMPARE(s.surface.selStart(), 5);
        QCOMPARE(s.surface.findText(QString::fromUtf8("\xe2\x82\xac"), 0, 8), 7);
        QCOMPARE(s.surface.replaceAll(QStringLiteral("none"), QStringLiteral("x"), 0),
                 qsizetype(0));
        QCOMPARE(changes, 1);
        s.surface.widget()->undo();
        QCOMPARE(s.surface.bytes(), text);
    }
};

ORVIK_TEST_MAIN(tst_FoldedSearch)
#include "tst_FoldedSearch.moc"
