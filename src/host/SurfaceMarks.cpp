#include "host/SurfaceMarks.h"

#include <Qsci/qsciscintilla.h>
#include <QByteArray>

using Sci = QsciScintillaBase;

namespace {

bool isNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
           || c == ':' || c == '_' || c == '.';
}

bool isVoidElement(QByteArrayView name)
{
    static const char *const kVoid[] = {"area",  "base", "br",   "col",   "embed",  "hr",    "img",
                                        "input", "link", "meta", "param", "source", "track", "wbr"};
    for (const char *v : kVoid)
        if (name.compare(QByteArrayView(v), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// A tag starting at '<': its name's range, whether it closes, whether it closes itself, and
// where it ends (after '>'). No name for comments, declarations and stray '<'.
struct Tag
{
    qsizetype nameStart = -1, nameEnd = -1, end = -1;
    bool closing = false, selfClosing = false;
    QByteArrayView name(QByteArrayView text) const
    {
        return text.sliced(nameStart, nameEnd - nameStart);
    }
};

Tag tagAt(QByteArrayView text, qsizetype lt)
{
    Tag tag;
    qsizetype i = lt + 1;
    if (i < text.size() && text[i] == '/') {
        tag.closing = true;
        ++i;
    }
    tag.nameStart = i;
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    tag.nameEnd = i;
    const qsizetype gt = text.indexOf('>', i);
    if (tag.nameEnd == tag.nameStart || gt < 0 || !isNameChar(text[tag.nameStart])
        || text.sliced(i, gt - i).contains('<'))
        return Tag {};
    tag.end = gt + 1;
    tag.selfClosing = !tag.closing && text[gt - 1] == '/';
    return tag;
}

} // namespace

TagMatch MatchingTag(QByteArrayView text, qsizetype caret, bool html)
{
    TagMatch match;
    // The tag the caret is in, or just before or after.
    qsizetype lt = -1;
    if (caret < text.size() && text[caret] == '<')
        lt = caret;
    for (qsizetype i = caret - 1; lt < 0 && i >= 0; --i) {
        if (text[i] == '<')
            lt = i;
        else if (text[i] == '>' && i != caret - 1)
            return match;
    }
    if (lt < 0)
        return match;
    const Tag tag = tagAt(text, lt);
    if (tag.end < 0 || tag.end < caret || tag.selfClosing)
        return match;
    const QByteArrayView name = tag.name(text);
    const auto cs = html ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (html && isVoidElement(name))
        return match;
    const auto same = [&](const Tag &t) {
        return t.end >= 0 && !t.selfClosing && t.name(text).compare(name, cs) == 0;
    };
    int depth = 0;
    if (!tag.closing) {
        for (qsizetype i = text.indexOf('<', tag.end); i >= 0; i = text.indexOf('<', i + 1)) {
            const Tag t = tagAt(text, i);
            if (!same(t))
                continue;
            if (!t.closing) {
                ++depth;
            } else if (depth-- == 0) {
                match.partner = {t.nameStart, t.nameEnd};
                break;
            }
        }
    } else {
        for (qsizetype i = lt - 1; i >= 0; --i) {
            if (text[i] != '<')
                continue;
            const Tag t = tagAt(text, i);
            if (!same(t))
                continue;
            if (t.closing) {
                ++depth;
            } else if (depth-- == 0) {
                match.partner = {t.nameStart, t.nameEnd};
                break;
            }
        }
    }
    if (match.partner.first >= 0)
        match.here = {tag.nameStart, tag.nameEnd};
    return match;
}

SurfaceMarks::SurfaceMarks(QsciScintilla &view, std::function<int()> tagKind)
    : QObject(&view), m_view(view), m_tagKind(std::move(tagKind))
{
    m_view.setMarginLineNumbers(0, true);
    m_view.setCaretLineVisible(true);
    m_view.setBraceMatching(QsciScintilla::SloppyBraceMatch);
    m_view.SendScintilla(Sci::SCI_INDICSETSTYLE, kTagIndicator, Sci::INDIC_ROUNDBOX);
    m_view.SendScintilla(Sci::SCI_INDICSETFORE, kTagIndicator, QColor(0x30, 0xa0, 0x40));
    m_view.SendScintilla(Sci::SCI_INDICSETALPHA, kTagIndicator, 90L);
    m_view.SendScintilla(Sci::SCI_INDICSETUNDER, kTagIndicator, 1L);
    connect(&m_view, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION))
            markTags();
    });
}

void SurfaceMarks::fitMargin()
{
    int digits = 1;
    for (long lines = m_view.SendScintilla(Sci::SCI_GETLINECOUNT); lines >= 10; lines /= 10)
        ++digits;
    // One digit more than the count needs, for a little room on both sides.
    const QByteArray sample(std::max(digits, 2) + 1, '9');
    m_view.SendScintilla(
        Sci::SCI_SETMARGINWIDTHN, 0UL,
        m_view.SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_LINENUMBER, sample.constData()));
}

void SurfaceMarks::markTags()
{
    const long length = m_view.SendScintilla(Sci::SCI_GETLENGTH);
    m_view.SendScintilla(Sci::SCI_SETINDICATORCURRENT, kTagIndicator);
    // Marks belong to the text; one left behind when another text was shown goes too.
    m_view.SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, length);
    const int kind = m_tagKind();
    if (kind == 0)
        return;
    // Only the text around the caret is searched, so that a huge text costs no more.
    constexpr long kReach = 256 * 1024;
    const long caret = m_view.SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long from = std::max(0L, caret - kReach);
    const long to = std::min(length, caret + kReach);
    QByteArray text(to - from + 1, '\0');
    m_view.SendScintilla(Sci::SCI_GETTEXTRANGE, from, to, text.data());
    text.chop(1);
    const TagMatch match = MatchingTag(text, caret - from, kind == 1);
    if (match.partner.first < 0)
        return;
    for (const auto &[start, end] : {match.here, match.partner})
        m_view.SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(from + start),
                             long(end - start));
}
