#include "host/LineBreaks.h"

#include <cstring>

namespace {

// True when the text already follows the rule, so it can be returned as it is.
bool alreadyCrLf(const char *data, qsizetype size)
{
    if (size == 0)
        return true;
    if (size < 2 || data[size - 2] != '\r' || data[size - 1] != '\n')
        return false;
    const char *p = data;
    const char *end = data + size;
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

QByteArray withCrLf(const char *data, qsizetype size)
{
    QByteArray out;
    out.reserve(size + size / 16 + 2);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        out.append(data + lineStart, i - lineStart);
        out.append("\r\n", 2);
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < size) {
        out.append(data + lineStart, size - lineStart);
        out.append("\r\n", 2);
    }
    return out;
}

} // namespace

QByteArray LinesWithCrLf(const char *data, qsizetype size)
{
    return alreadyCrLf(data, size) ? QByteArray(data, size) : withCrLf(data, size);
}

QByteArray LinesWithCrLf(const QByteArray &text)
{
    return alreadyCrLf(text.constData(), text.size()) ? text
                                                      : withCrLf(text.constData(), text.size());
}
