// The system clipboard, plain text only: the one place the logic reaches it through.
#pragma once

#include <QString>

namespace Clipboard {

// Clipboard.HasFormat(CF_TEXT): whether the clipboard holds text, an empty text included.
bool HasText();
// Clipboard.AsText get and set; setting replaces everything the clipboard held.
QString AsText();
void SetAsText(const QString &text);

} // namespace Clipboard
