// A document's own text inside the editing surface, which shows one such text at a time. Each
// keeps its undo history, caret, selection, scroll position and encoding while another is shown.
#pragma once

#include <QByteArray>
#include <QString>

class EditingDocument
{
public:
    virtual ~EditingDocument() = default;
    virtual bool isShown() const = 0;
    // Lines.Text of this document, shown or not: every line followed by CR LF.
    virtual QByteArray linesText() const = 0;
    // The file the text is saved to, which decides how it is coloured; empty when untitled.
    virtual void setPath(const QString &path) = 0;
};
