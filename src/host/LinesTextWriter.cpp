#include "host/LinesTextWriter.h"

#include "host/EditSurface.h"
#include "host/Windows1252.h"

#include <Qsci/qsciscintilla.h>
#include <algorithm>

bool WriteLinesText(const EditSurface &surface, const ByteSink &sink)
{
    const auto &sci = *qobject_cast<const QsciScintillaBase *>(surface.widget());
    const auto *data = static_cast<const char *>(
        sci.SendScintillaPtrResult(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    const QByteArrayView text(data, sci.SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    CrLfWriter lines(sink);
    if (surface.isUtf8())
        return FollowsCrLfRule(text) ? sink(text) : lines.add(text) && lines.finish();
    // 8-bit text is held as UTF-8: its bytes come back a piece at a time, cut between characters,
    // in pieces small enough for the allocator to reuse one piece's memory for the next.
    constexpr qsizetype kPiece = 64 * 1024;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = std::min(at + kPiece, text.size());
        while (end < text.size() && (uchar(text[end]) & 0xC0) == 0x80)
            ++end;
        if (!lines.add(Windows1252::FromUtf8(text.sliced(at, end - at))))
            return false;
        at = end;
    }
    return lines.finish();
}
