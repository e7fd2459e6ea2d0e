#include "host/LineBreaks.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kPiece = 1 << 20;

} // namespace

bool FollowsCrLfRule(QByteArrayView text)
{
    const char *p = text.data();
    const qsizetype size = text.size();
    if (size == 0)
        return true;
    if (size < 2 || p[size - 2] != '\r' || p[size - 1] != '\n')
        return false;
    const char *end = p + size;
    while (p < end) {
        const char *cr = static_cast<const char *>(std::memchr(p, '\r', end - p));
        const char *lf = static_cast<const char *>(std::memchr(p, '\n', (cr ? cr : end) - p));
        if (lf)
            return false; // a LF without a CR before it
        if (!cr)
            return true;
        if (cr + 1 >= end || cr[1] != '\n')
            return false; // a lone CR
        p = cr + 2;
    }
    return true;
}

CrLfWriter::CrLfWriter(ByteSink sink) : m_sink(std::move(sink)) { }

bool CrLfWriter::add(QByteArrayView text)
{
    const char *p = text.data();
    const char *end = p + text.size();
    if (p == end)
        return true;
    if (m_afterCr && *p == '\n')
        ++p;
    m_afterCr = false;
    while (p < end) {
        // The line's text up to its break, or as much of it as fills the piece.
        const qsizetype room = std::max<qsizetype>(kPiece - m_buffer.size(), 1);
        const char *stop = p + std::min<qsizetype>(room, end - p);
        const auto *lf = static_cast<const char *>(std::memchr(p, '\n', stop - p));
        const auto *cr = static_cast<const char *>(std::memchr(p, '\r', (lf ? lf : stop) - p));
        const char *lineEnd = cr ? cr : lf ? lf : stop;
        m_buffer.append(p, lineEnd - p);
        m_lineOpen = lineEnd == stop;
        p = lineEnd;
        if (!m_lineOpen) {
            m_buffer.append("\r\n", 2);
            ++p;
            if (*lineEnd == '\r') {
                if (p == end)
                    m_afterCr = true;
                else if (*p == '\n')
                    ++p;
            }
        }
        if (m_buffer.size() >= kPiece) {
            if (!m_sink(m_buffer))
                return false;
            m_buffer.truncate(0); // keeps the buffer's capacity, unlike clear()
        }
    }
    return true;
}

bool CrLfWriter::finish()
{
    if (m_lineOpen)
        m_buffer.append("\r\n", 2);
    m_lineOpen = false;
    return m_buffer.isEmpty() || m_sink(m_buffer);
}

namespace {

QByteArray withCrLf(QByteArrayView text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 16 + 2);
    CrLfWriter lines([&out](QByteArrayView piece) {
        out.append(piece);
        return true;
    });
    (void)(lines.add(text) && lines.finish()); // appending cannot fail
    return out;
}

} // namespace

QByteArray LinesWithCrLf(const char *data, qsizetype size)
{
    const QByteArrayView text(data, size);
    return FollowsCrLfRule(text) ? text.toByteArray() : withCrLf(text);
}

QByteArray LinesWithCrLf(const QByteArray &text)
{
    return FollowsCrLfRule(text) ? text : withCrLf(text);
}
