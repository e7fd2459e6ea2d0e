#include "TestEnvironment.h"

#include "host/EditSurface.h"
#include "host/FoldedSearch.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <QRandomGenerator>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace {

// The editor's case-insensitive find on decoded text: an ASCII needle folds ASCII letters only,
// any other needle every letter.
qsizetype indexOfFolded(const QString &text, const QString &needle, qsizetype from)
{
    if (std::any_of(needle.begin(), needle.end(), [](QChar c) { return c.unicode() >= 0x80; }))
        return text.indexOf(needle, from, Qt::CaseInsensitive);
    const auto lower = [](QString s) {
        for (QChar &c : s)
            c = c >= u'A' && c <= u'Z' ? QChar(c.unicode() + 32) : c;
        return s;
    };
    return lower(text).indexOf(lower(needle), from);
}

struct Outcome
{
    QString text;
    qsizetype caret = -1; // just after the text inserted last, in UTF-16 units
};

// Replace All as the steps read: the first occurrence from start, then the first from the top,
// again and again; nullopt after more than cap replacements.
std::optional<Outcome> literalReplaceAll(QString text, const QString &f, const QString &r,
                                         qsizetype start, qsizetype cap)
{
    Outcome o;
    for (qsizetype n = 0, p; (p = indexOfFolded(text, f, n == 0 ? start : 0)) >= 0; ++n) {
        if (n == cap)
            return std::nullopt;
        text.replace(p, f.size(), r);
        o.caret = p + r.size();
    }
    o.text = text;
    return o;
}

// Each occurrence in text replaced once, left to right.
Outcome replaceEach(const QString &text, const QString &f, const QString &r)
{
    Outcome o;
    qsizetype i = 0;
    for (qsizetype p; (p = indexOfFolded(text, f, i)) >= 0; i = p + f.size()) {
        o.text += text.mid(i, p - i) + r;
        o.caret = o.text.size();
    }
    o.text += text.mid(i);
    return o;
}

// Each occurrence of the original text replaced once: from the first at or after start to the
// end, then those wholly before it.
Outcome sweepReplaceAll(const QString &text, const QString &f, const QString &r, qsizetype start)
{
    const qsizetype first = indexOfFolded(text, f, start);
    const Outcome before = replaceEach(text.left(first), f, r);
    const Outcome after = replaceEach(text.mid(first), f, r);
    return {before.text + after.text,
            before.caret >= 0 ? before.caret : before.text.size() + after.caret};
}

QString randomText(QRandomGenerator &random, const QString &alphabet, int maxLength)
{
    QString s;
    for (int n = random.bounded(maxLength + 1); n > 0; --n)
        s += alphabet[random.bounded(int(alphabet.size()))];
    return s;
}

} // namespace

class tst_FoldedSearch : public QObject
{
    Q_OBJECT

private slots:
    // Replace All against the steps read literally, wherever those end within a replacement per
    // byte and the replacement does not contain the search text; against the sweep otherwise.
    void replaceAllAgreesWithTheLiteralSteps_data()
    {
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("UTF-8") << true << QString::fromUtf8("aAb\xc3\xa9\xc3\x89");
        QTest::newRow("8-bit") << false << QString::fromUtf8("aAb\xc3\xa9\xc3\x89");
        QTest::newRow("UTF-8, Kelvin sign, long s, sharp s, line breaks")
            << true << QString::fromUtf8("kKsS\xe2\x84\xaa\xc5\xbf\xc3\xa9\xc3\x9f\r\n");
    }
    void replaceAllAgreesWithTheLiteralSteps()
    {
        QFETCH(bool, utf8);
        QFETCH(QString, alphabet);
        const auto encode = [&](const QString &s) { return utf8 ? s.toUtf8() : s.toLatin1(); };
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        QWidget window;
        EditSurface surface(guard, &window);
        QRandomGenerator random(20240611);
        int exact = 0, swept = 0;
        for (int round = 0; round < 30000; ++round) {
            const QString text = randomText(random, alphabet, 10);
            const QString f = randomText(random, alphabet, 3);
            const QString r = randomText(random, alphabet, 3);
            const qsizetype start = random.bounded(int(text.size()) + 1);
            const QByteArray bytes = encode(text);
            const ReplaceAllResult got = ReplaceAllBytes(bytes, utf8, f, r,
                                                         encode(text.left(start)).size());
            const QString row = QStringLiteral("text '%1' find '%2' replace '%3' from %4")
                                    .arg(text, f, r).arg(start);
            const qsizetype at = f.isEmpty() ? -1 : indexOfFolded(text, f, start);
            // The model finds what Find Next on the surface finds.
            if (utf8 && round % 10 == 0 && !f.isEmpty()) {
                surface.setLinesText(bytes);
                QVERIFY2(surface.findText(f, start, int(text.size() - start)) == at,
                         qPrintable(row));
            }
            QVERIFY2((got.replacements > 0) == (at >= 0), qPrintable(row));
            if (at < 0)
                continue;
            std::optional<Outcome> want;
            if (indexOfFolded(r, f, 0) < 0)
                want = literalReplaceAll(text, f, r, start, bytes.size());
            (want ? exact : swept)++;
            if (!want)
                want = sweepReplaceAll(text, f, r, start);
            QVERIFY2(got.text == encode(want->text),
                     qPrintable(row + QStringLiteral(" wanted ") + want->text));
            QVERIFY2(got.caret == encode(want->text.left(want->caret)).size(), qPrintable(row));
        }
        // Both ways were taken often enough to mean something.
        QVERIFY(exact > 1000);
        QVERIFY(swept > 100);
    }
};

ORVIK_TEST_MAIN(tst_FoldedSearch)
#include "tst_FoldedSearch.moc"
