// The line-break rule of the editor's Lines.Text: every line followed by CR LF.
#pragma once

#include <QByteArray>

// CR LF, LF and a lone CR each end a line; every line comes back followed by CR LF, and an
// empty last line is not counted, so non-empty text ends in exactly one CR LF.
QByteArray LinesWithCrLf(const char *data, qsizetype size);
// The same; text that already follows the rule comes back shared, not copied.
QByteArray LinesWithCrLf(const QByteArray &text);
