// The record of one open document: where it lives, what its tab shows, and its own text.
#pragma once

#include "docs/EditingDocument.h"
#include "docs/FileStamp.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A record's Text: the document's own editing text, which the record owns. While another
// document is on the surface it reads as this document's text; while this one is, the live text
// is the surface's and the record holds no copy of it, so it reads empty.
class DocumentText
{
public:
    EditingDocument *document() const { return m_document.get(); }
    void reset(std::unique_ptr<EditingDocument> document) { m_document = std::move(document); }

    QByteArray value() const
    {
        return m_document && !m_document->isShown() ? m_document->linesText() : QByteArray();
    }
    bool isEmpty() const { return value().isEmpty(); }
    bool startsWith(QByteArrayView prefix) const { return value().startsWith(prefix); }

private:
    std::unique_ptr<EditingDocument> m_document;
};

class THTMLInfo
{
public:
    DocumentText Text;
    bool Saved = false;
    // The path exactly as given: not normalised, not made absolute. Empty when untitled.
    QString FullPath;
    QString FileName;
    QString Directory;
    // The file FullPath named when it was given: a relative path made absolute against the
    // working directory of that moment, which the file panel moves later on.
    QString DiskPath;
    // The file at DiskPath as this document last read or wrote it; a save asks before writing
    // over a file that no longer matches. Cleared with a new path.
    FileStamp DiskStamp;
    // The document's recovery copy: its number in this run, and whether its text changed since
    // the copy was last written.
    quint64 RecoveryId = 0;
    bool CopyStale = true;

    // Sets FullPath and DiskPath; a non-empty path also recomputes FileName and Directory.
    void SetFullPath(const QString &path);
    // FileName: the part after the last separator; Directory: up to and including it.
    void SplitPath();
};

// The path separator that SplitPath looks for.
inline constexpr char16_t kPathSeparator = u'/';
