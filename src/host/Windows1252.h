// The windows-1252 code page, in which the editor shows and searches 8-bit text: every byte is
// one character, and the five bytes the code page leaves undefined (0x81 0x8D 0x8F 0x90 0x9D)
// are the code points of their own values, so that any bytes survive a round trip.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Windows1252 {

// The bytes' characters, as UTF-8, and the length of that UTF-8.
QByteArray ToUtf8(QByteArrayView bytes);
qsizetype Utf8Length(QByteArrayView bytes);
// UTF-8 back to bytes. A character the code page lacks becomes '?', as it would in 8-bit text.
QByteArray FromUtf8(QByteArrayView utf8);
// The text with '?' for each character the code page lacks.
QString Restricted(QStringView text);

} // namespace Windows1252
