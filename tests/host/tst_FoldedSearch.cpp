#include "TestEnvironment.h"

#include "host/EditSurface.h"
#include "host/FoldedSearch.h"
#include "host/Guard.h"
#include "ScriptedDialogs.h"

#include <QRandomGenerator>
#include <algorithm>
#include <optional>

namespace {

// The editor's case-insensitive find on decoded text: an ASCII needle folds ASCII letters only,
// any other needle every letter.
qsizetype indexOfFolded(QString text, const QString &needle, qsizetype from)
{
    const auto wide = [](QChar c) { return c.unicode() >= 0x80; };
    if (std::none_of(needle.begin(), needle.end(), wide))
        std::replace_if(text.begin(), text.end(), wide, QChar(QChar::ReplacementCharacter));
    return text.indexOf(needle, from, Qt::CaseInsensitive);
}

// Replace All as the steps read: the first occurrence from start, then the first from the top,
// again and again; nullopt past cap replacements (always when the replacement holds the text).
std::optional<QString> literalReplaceAll(QString text, const QString &f, const QString &r,
                                         qsizetype start, qsizetype cap)
{
    for (qsizetype n = 0, p; (p = indexOfFolded(text, f, n == 0 ? start : 0)) >= 0; ++n) {
        if (n == cap)
            return std::nullopt;
        text.replace(p, f.size(), r);
    }
    return text;
}

// Each occurrence in text replaced once, left to right.
QString replaceEach(const QString &text, const QString &f, const QString &r)
{
    QString out;
    qsizetype i = 0;
    for (qsizetype p; (p = indexOfFolded(text, f, i)) >= 0; i = p + f.size())
        out += text.mid(i, p - i) + r;
    return out + text.mid(i);
}

} // namespace

class tst_FoldedSearch : public QObject
{
    Q_OBJECT

private slots:
    // Replace All gives what the steps read literally give when those end within a replacement
    // per byte; otherwise each occurrence of the original text is replaced once.
    void replaceAllAgreesWithTheLiteralSteps_data()
    {
        QTest::addColumn<QString>("alphabet");
        QTest::newRow("accented") << QString::fromUtf8("aAb\xc3\xa9\xc3\x89");
        QTest::newRow("Kelvin sign, long s, sharp s, line breaks")
            << QString::fromUtf8("kKsS\xe2\x84\xaa\xc5\xbf\xc3\xa9\xc3\x9f\r\n");
    }
    void replaceAllAgreesWithTheLiteralSteps()
    {
        QFETCH(QString, alphabet);
        ScriptedDialogs dialogs;
        Guard guard(dialogs);
        QWidget window;
        EditSurface surface(guard, &window);
        QRandomGenerator random(20240611);
        const auto randomText = [&](int maxLength) {
            QString s;
            for (int n = random.bounded(maxLength + 1); n > 0; --n)
                s += alphabet[random.bounded(int(alphabet.size()))];
            return s;
        };
        int exact = 0, swept = 0;
        for (int round = 0; round < 30000; ++round) {
            const QString text = randomText(10), f = randomText(3), r = randomText(3);
            const qsizetype start = random.bounded(int(text.size()) + 1);
            const QByteArray bytes = text.toUtf8();
            const qsizetype from = text.first(start).toUtf8().size();
            const auto got = ReplaceAllBytes(bytes, f, r.toUtf8(), from);
            const QString row = QString("'%1': '%2' to '%3' from %4").arg(text, f, r).arg(start);
            const qsizetype at = f.isEmpty() ? -1 : indexOfFolded(text, f, start);
            // The model finds what Find Next on the surface finds.
            if (round % 10 == 0 && !f.isEmpty()) {
                surface.setLinesText(bytes);
                QVERIFY2(surface.findText(f, start, int(text.size() - start)) == at,
                         qPrintable(row));
            }
            QVERIFY2((got.replacements > 0) == (at >= 0), qPrintable(row));
            if (at < 0)
                continue;
            const auto literal = literalReplaceAll(text, f, r, start, bytes.size());
            (literal ? exact : swept)++;
            const QString want = literal.value_or(replaceEach(text.left(at), f, r)
                                                  + replaceEach(text.mid(at), f, r));
            QVERIFY2(got.text == want.toUtf8(), qPrintable(row + " wanted " + want));
        }
        // Both ways were taken often enough to mean something.
        QVERIFY(exact > 1000 && swept > 100);
    }
};

ORVIK_TEST_MAIN(tst_FoldedSearch)
#include "tst_FoldedSearch.moc"
