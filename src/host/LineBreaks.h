// The line-break rule of the editor's Lines.Text: every line followed by CR LF.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// CR LF, LF and a lone CR each end a line; every line comes back followed by CR LF, and an
// empty last line is not counted, so non-empty text ends in exactly one CR LF.
QByteArray LinesWithCrLf(const char *data, qsizetype size);
// The same; text that already follows the rule comes back shared, not copied.
QByteArray LinesWithCrLf(const QByteArray &text);
// Whether the text already follows the rule.
bool FollowsCrLfRule(QByteArrayView text);

// Takes bytes that sink must write, in order; false when it could not.
using ByteSink = std::function<bool(QByteArrayView)>;

// Applies the rule to text that arrives in pieces and hands the result on in pieces of about a
// megabyte, so that large text is never held twice. A CR at the end of one piece and a LF at
// the start of the next are one line break.
class CrLfWriter
{
public:
    explicit CrLfWriter(ByteSink sink);
    [[nodiscard]] bool add(QByteArrayView text);
    // Ends the last line and writes what is left; call it once, after the last add.
    [[nodiscard]] bool finish();

private:
    ByteSink m_sink;
    QByteArray m_buffer;
    bool m_afterCr = false; // the text so far ends in CR: a LF next belongs to it
    bool m_lineOpen = false; // the text so far ends inside a line
};
