// The record of one open document: where it lives, what its tab shows, and its stored text.
#pragma once

#include <QByteArray>
#include <QString>

class THTMLInfo
{
public:
    // The text as last stored from the editing surface; stale while the document is on it.
    QByteArray Text;
    bool Saved = false;
    // The path exactly as given: not normalised, not made absolute. Empty when untitled.
    QString FullPath;
    QString FileName;
    QString Directory;
    // The file FullPath named when it was given: a relative path made absolute against the
    // working directory of that moment, which the file panel moves later on.
    QString DiskPath;

    // Sets FullPath and DiskPath; a non-empty path also recomputes FileName and Directory.
    void SetFullPath(const QString &path);
    // FileName: the part after the last separator; Directory: up to and including it.
    void SplitPath();
};

// The path separator that SplitPath looks for.
inline constexpr char16_t kPathSeparator = u'/';
