// Case-insensitive search and Replace All over the editing surface's UTF-8 text, matching as its
// findText does: an ASCII search text folds ASCII letters only (as Scintilla does), any other
// search text folds every letter per code point (as Qt's case-insensitive search does).
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <vector>

class FoldedMatcher
{
public:
    explicit FoldedMatcher(const QString &needle);

    bool isEmpty() const { return m_ascii ? m_folded.isEmpty() : m_codePoints.empty(); }
    // The first match that starts at or after from (a character boundary) and ends within
    // text: its byte offset, with its byte length in *length; -1 when there is none.
    qsizetype find(QByteArrayView text, qsizetype from, qsizetype *length) const;
    // The most bytes one match can span.
    qsizetype maxMatchBytes() const;
    // The character boundary at or before position.
    qsizetype boundaryBefore(QByteArrayView text, qsizetype position) const;
    // Whether a match can overlap text inserted among other text without lying wholly inside
    // it, so that inserting it may form occurrences with its neighbours.
    bool canStraddle(QByteArrayView inserted) const;

private:
    qsizetype findAscii(QByteArrayView text, qsizetype from) const;
    qsizetype matchFoldedAt(QByteArrayView text, qsizetype position) const;

    bool m_ascii;
    QByteArray m_folded; // ASCII needle, lower-cased
    std::array<qsizetype, 256> m_skip {}; // Horspool shifts by folded byte
    std::vector<char32_t> m_codePoints; // any other needle, case-folded
};

struct ReplaceAllResult
{
    QByteArray text;
    qsizetype replacements = 0;
    qsizetype caret = -1; // byte offset just after the text inserted last
};

// Replace All from the first occurrence at or after the byte offset from (nothing when there is
// none). The result is what replacing the leftmost occurrence again and again gives, for as
// long as that takes no more replacements than the text has bytes; the sweep below takes over
// when the replacement itself contains the search text (that repetition would never end) and
// when the repetition would go on longer (a replacement that keeps forming new occurrences with
// its neighbours). The sweep replaces each occurrence of the original text once: on from the
// first one to the end, then from the top up to it, never matching in inserted text.
// Either way the work grows linearly with the text.
// with: the UTF-8 that replaces each occurrence.
ReplaceAllResult ReplaceAllBytes(QByteArrayView text, const QString &find, const QByteArray &with,
                                 qsizetype from);
