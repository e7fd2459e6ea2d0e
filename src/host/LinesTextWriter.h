// Lines.Text of the editing surface for a save, written in pieces instead of built whole.
#pragma once

#include "host/LineBreaks.h"

class EditSurface;

// Hands the surface's Lines.Text (the bytes linesText() gives) to sink. Text that already follows
// the line-break rule goes straight from the surface in one piece; other text is converted a
// megabyte at a time, so that saving a large document never holds a second copy of it.
[[nodiscard]] bool WriteLinesText(const EditSurface &surface, const ByteSink &sink);
