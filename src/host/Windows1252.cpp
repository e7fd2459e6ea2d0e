#include "host/Windows1252.h"

#include <QList>

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// The characters of bytes 0x80 to 0x9F; bytes 0xA0 to 0xFF are the Latin-1 characters.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t characterOf(uchar byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

// The byte of a character, or -1 when the code page has none.
int byteOf(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

struct Utf8Sequence
{
    char bytes[3];
    int length;
};

// The UTF-8 of the upper 128 bytes' characters, none of which needs more than three bytes.
constexpr std::array<Utf8Sequence, 128> kUpperUtf8 = [] {
    std::array<Utf8Sequence, 128> table {};
    for (int i = 0; i < 128; ++i) {
        const char16_t c = characterOf(uchar(0x80 + i));
        if (c < 0x800)
            table[i] = {{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0}, 2};
        else
            table[i] = {
                {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))},
                3};
    }
    return table;
}();

// The number of leading bytes below 0x80, counted eight at a time: most text is ASCII.
qsizetype asciiRun(const uchar *p, const uchar *end)
{
    const uchar *q = p;
    for (std::uint64_t word; end - q >= 8; q += 8) {
        std::memcpy(&word, q, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (q < end && *q < 0x80)
        ++q;
    return q - p;
}

// The code point of a well-formed UTF-8 sequence at p, and its length; 0xFFFD and 1 otherwise.
char32_t decodeUtf8(const uchar *p, const uchar *end, int *length)
{
    const uchar lead = *p;
    int n = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        n = 2, c = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        n = 3, c = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        n = 4, c = lead & 0x07;
    *length = 1;
    if (n == 0 || end - p < n)
        return 0xFFFD;
    for (int i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        c = (c << 6) | (p[i] & 0x3F);
    }
    *length = n;
    return c;
}

} // namespace

qsizetype Windows1252::Utf8Length(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = p + bytes.size();
    qsizetype length = bytes.size();
    while ((p += asciiRun(p, end)) < end)
        length += kUpperUtf8[*p++ - 0x80].length - 1;
    return length;
}

QByteArray Windows1252::ToUtf8(QByteArrayView bytes)
{
    const auto *begin = reinterpret_cast<const uchar *>(bytes.data());
    const auto *end = begin + bytes.size();
    QByteArray out(Utf8Length(bytes), Qt::Uninitialized);
    char *o = out.data();
    for (const uchar *p = begin; p < end;) {
        const qsizetype run = asciiRun(p, end);
        std::memcpy(o, p, run);
        o += run;
        p += run;
        if (p == end)
            break;
        const Utf8Sequence &s = kUpperUtf8[*p++ - 0x80];
        for (int i = 0; i < s.length; ++i)
            *o++ = s.bytes[i];
    }
    return out;
}

QByteArray Windows1252::FromUtf8(QByteArrayView utf8)
{
    const auto *p = reinterpret_cast<const uchar *>(utf8.data());
    const auto *end = p + utf8.size();
    QByteArray out(utf8.size(), Qt::Uninitialized); // never longer than the UTF-8
    char *o = out.data();
    while (p < end) {
        const qsizetype run = asciiRun(p, end);
        std::memcpy(o, p, run);
        o += run;
        p += run;
        if (p == end)
            break;
        int length = 1;
        const int byte = byteOf(decodeUtf8(p, end, &length));
        *o++ = byte < 0 ? '?' : char(byte);
        p += length;
    }
    out.truncate(o - out.constData());
    return out;
}

QString Windows1252::Restricted(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (const uint c : text.toUcs4())
        out.append(byteOf(c) < 0 ? QChar(u'?') : QChar(char16_t(c)));
    return out;
}
