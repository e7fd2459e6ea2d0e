#include "host/FoldedSearch.h"

#include "util/HugePages.h"

#include <QChar>
#include <QList>

namespace {

constexpr uchar asciiLower(uchar c)
{
    return c >= 'A' && c <= 'Z' ? uchar(c + ('a' - 'A')) : c;
}

bool isContinuation(uchar c)
{
    return (c & 0xC0) == 0x80;
}

// The code point at position and its width in bytes. A byte that does not begin a complete,
// well-formed sequence reads as U+FFFD on its own, as Qt decodes it.
char32_t decodeAt(QByteArrayView text, qsizetype position, int *width)
{
    const auto *p = reinterpret_cast<const uchar *>(text.data()) + position;
    const uchar lead = *p;
    *width = 1;
    if (lead < 0x80)
        return lead;
    int n = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (position + n > text.size())
        return 0xFFFD;
    for (int i = 1; i < n; ++i) {
        if (!isContinuation(p[i]))
            return 0xFFFD;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0xFFFD;
    *width = n;
    return cp;
}

// Room for a result of about size bytes, on huge pages when it is large.
void reserveResult(QByteArray &out, qsizetype size)
{
    out.reserve(size);
    if (size_t(size) >= kHugePagesFrom)
        AdviseHugePages(out.data(), size_t(size));
}

// Appends view to out with each occurrence replaced, left to right, never searching in what was
// inserted. Returns the end of the last insertion in out, or -1 when there was none.
qsizetype replaceEach(const FoldedMatcher &matcher, QByteArrayView view, const QByteArray &with,
                      QByteArray &out, qsizetype &count)
{
    qsizetype caret = -1;
    qsizetype i = 0;
    for (;;) {
        qsizetype length = 0;
        const qsizetype p = matcher.find(view, i, &length);
        if (p < 0)
            break;
        out.append(view.sliced(i, p - i));
        out.append(with);
        caret = out.size();
        ++count;
        i = p + length;
    }
    out.append(view.sliced(i));
    return caret;
}

ReplaceAllResult sweep(const FoldedMatcher &matcher, QByteArrayView text, qsizetype first,
                       qsizetype firstLength, const QByteArray &with)
{
    ReplaceAllResult result;
    reserveResult(result.text, text.size() + text.size() / 8 + with.size());
    // The part before the first occurrence is swept last, so its insertions are the last made.
    const qsizetype before = replaceEach(matcher, text.first(first), with, result.text,
                                         result.replacements);
    result.text.append(with);
    ++result.replacements;
    result.caret = result.text.size();
    const qsizetype after = replaceEach(matcher, text.sliced(first + firstLength), with,
                                        result.text, result.replacements);
    if (after >= 0)
        result.caret = after;
    if (before >= 0)
        result.caret = before;
    return result;
}

// Replaces the leftmost occurrence until none is left, searching inserted text again together
// with its neighbours. Text that cannot hold the start of an occurrence any more goes to out;
// pending holds what must be searched again before the rest of source: the tail of out that an
// occurrence could still begin in, and the text inserted last. False when more than budget
// replacements would be needed.
bool rewriteLeftmost(const FoldedMatcher &matcher, QByteArrayView source, const QByteArray &with,
                     qsizetype budget, ReplaceAllResult &result)
{
    const qsizetype span = matcher.maxMatchBytes();
    const bool straddles = matcher.canStraddle(with);
    QByteArray &out = result.text;
    reserveResult(out, source.size() + source.size() / 8 + with.size());
    QByteArray pending;
    QByteArray window;
    QByteArray rest;
    qsizetype i = 0; // next byte of source not yet read
    for (;;) {
        qsizetype length = 0;
        rest.truncate(0); // keeps the buffers' capacity, unlike clear()
        if (pending.isEmpty()) {
            const qsizetype p = matcher.find(source, i, &length);
            if (p < 0) {
                out.append(source.sliced(i));
                return true;
            }
            out.append(source.sliced(i, p - i));
            i = p + length;
        } else {
            window.truncate(0);
            window.append(pending);
            window.append(source.sliced(i, std::min(span, source.size() - i)));
            const qsizetype p = matcher.find(window, 0, &length);
            if (p < 0 || p >= pending.size()) {
                // Nothing begins in the pending text: it is final.
                out.append(pending);
                pending.truncate(0);
                continue;
            }
            out.append(QByteArrayView(window).first(p));
            const qsizetype end = p + length;
            if (end <= pending.size())
                rest.append(QByteArrayView(pending).sliced(end));
            else
                i += end - pending.size();
        }
        if (++result.replacements > budget)
            return false;
        result.caret = out.size() + with.size();
        if (!straddles) {
            // Nothing can begin before the insertion's end: search on after it.
            out.append(with);
            out.append(rest);
            continue;
        }
        // An occurrence that ends after this point begins at most span - 1 bytes before it.
        const qsizetype keep = matcher.boundaryBefore(
            out, std::max<qsizetype>(0, out.size() - (span - 1)));
        pending.truncate(0);
        pending.append(QByteArrayView(out).sliced(keep));
        pending.append(with);
        pending.append(rest);
        out.truncate(keep);
    }
}

} // namespace

FoldedMatcher::FoldedMatcher(const QString &needle)
{
    m_ascii = true;
    for (QChar c : needle)
        m_ascii = m_ascii && c.unicode() < 0x80;
    if (m_ascii) {
        m_folded = needle.toLatin1();
        for (char &c : m_folded)
            c = char(asciiLower(uchar(c)));
        const qsizetype m = m_folded.size();
        m_skip.fill(m);
        for (qsizetype k = 0; k + 1 < m; ++k)
            m_skip[uchar(m_folded[k])] = m - 1 - k;
        return;
    }
    for (char32_t c : needle.toUcs4())
        m_codePoints.push_back(QChar::toCaseFolded(c));
}

qsizetype FoldedMatcher::maxMatchBytes() const
{
    if (m_ascii)
        return m_folded.size();
    return qsizetype(m_codePoints.size()) * 4;
}

qsizetype FoldedMatcher::boundaryBefore(QByteArrayView text, qsizetype position) const
{
    // An ASCII needle matches whole ASCII bytes only, so any byte is a boundary for it.
    if (!m_ascii)
        while (position > 0 && position < text.size() && isContinuation(uchar(text[position])))
            --position;
    return position;
}

bool FoldedMatcher::canStraddle(QByteArrayView inserted) const
{
    if (!m_ascii)
        return true; // folding may change lengths: always search the neighbourhood again
    const qsizetype m = m_folded.size();
    const qsizetype n = inserted.size();
    // A match at offset a from the insertion's start, overlapping it but not inside it.
    for (qsizetype a = 1 - m; a < n; ++a) {
        if (a >= 0 && a + m <= n)
            continue;
        bool agrees = true;
        for (qsizetype k = std::max<qsizetype>(0, -a); agrees && k < m && a + k < n; ++k)
            agrees = asciiLower(uchar(inserted[a + k])) == uchar(m_folded[k]);
        if (agrees)
            return true;
    }
    return false;
}

qsizetype FoldedMatcher::find(QByteArrayView text, qsizetype from, qsizetype *length) const
{
    if (isEmpty() || from < 0)
        return -1;
    if (m_ascii) {
        *length = m_folded.size();
        return findAscii(text, from);
    }
    int width = 1;
    for (qsizetype p = from; p < text.size(); p += width) {
        decodeAt(text, p, &width);
        const qsizetype end = matchFoldedAt(text, p);
        if (end >= 0) {
            *length = end - p;
            return p;
        }
    }
    return -1;
}

qsizetype FoldedMatcher::findAscii(QByteArrayView text, qsizetype from) const
{
    const auto *data = reinterpret_cast<const uchar *>(text.data());
    const auto *needle = reinterpret_cast<const uchar *>(m_folded.constData());
    const qsizetype m = m_folded.size();
    const qsizetype n = text.size();
    const uchar last = needle[m - 1];
    for (qsizetype p = from; p + m <= n;) {
        const uchar c = asciiLower(data[p + m - 1]);
        if (c == last) {
            qsizetype k = m - 1;
            while (k > 0 && asciiLower(data[p + k - 1]) == needle[k - 1])
                --k;
            if (k == 0)
                return p;
        }
        p += m_skip[c];
    }
    return -1;
}

// The end of the match that begins at position, or -1.
qsizetype FoldedMatcher::matchFoldedAt(QByteArrayView text, qsizetype position) const
{
    qsizetype q = position;
    for (char32_t wanted : m_codePoints) {
        if (q >= text.size())
            return -1;
        int width = 1;
        const char32_t c = decodeAt(text, q, &width);
        if (QChar::toCaseFolded(c) != wanted)
            return -1;
        q += width;
    }
    return q;
}

ReplaceAllResult ReplaceAllBytes(QByteArrayView text, const QString &find, const QByteArray &with,
                                 qsizetype from)
{
    const FoldedMatcher matcher(find);
    qsizetype firstLength = 0;
    const qsizetype first = matcher.find(text, from, &firstLength);
    if (first < 0)
        return {};
    qsizetype ignored = 0;
    if (matcher.find(with, 0, &ignored) >= 0)
        return sweep(matcher, text, first, firstLength, with);

    // The first replacement starts at from; every later one searches from the top.
    ReplaceAllResult result;
    const qsizetype budget = text.size();
    bool ended = false;
    if (matcher.find(text, 0, &ignored) == first) {
        ended = rewriteLeftmost(matcher, text, with, budget, result);
    } else {
        QByteArray once;
        reserveResult(once, text.size() - firstLength + with.size());
        once.append(text.first(first)).append(with).append(text.sliced(first + firstLength));
        result.replacements = 1;
        result.caret = first + with.size();
        ended = rewriteLeftmost(matcher, once, with, budget, result);
    }
    return ended ? result : sweep(matcher, text, first, firstLength, with);
}
