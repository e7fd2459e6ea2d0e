// Documents and the editor's own scratch files on disk, byte for byte.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFileDevice>
#include <QString>
#include <functional>

// The preview's file, written beside a document; New also leaves an empty one.
inline const QString kPreviewFileName = QStringLiteral("Orvik_temp.ht~");

// Saves a document and keeps what the file was: its owner, group, mode, extended attributes and
// other names; a symbolic link is followed to its target. The file is replaced by a fully
// written new one where that keeps all of these; otherwise (other hard links, a directory the
// user cannot write, an owner that cannot be given) it is rewritten in place after a copy of
// its old bytes in the private cache directory, which a failed write keeps and names in error.
// bytes hands the document's bytes, in order, to the write it is given, and stops with false as
// soon as that fails.
using DocumentBytes = std::function<bool(const std::function<bool(QByteArrayView)> &write)>;
[[nodiscard]] bool SaveDocumentFile(const QString &path, const DocumentBytes &bytes,
                                    QString *error);
[[nodiscard]] bool SaveDocumentFile(const QString &path, const QByteArray &bytes, QString *error);

// A file that a save would change: NUL bytes in its first 64 KiB and not UTF-8 as a whole.
bool LooksLikeBinary(const QByteArray &bytes);

// Replaces the file at path as a whole by a new file with the given permission bits: whatever
// stood under that name (a symbolic or hard link included) is replaced, never written through.
[[nodiscard]] bool ReplaceFileWhole(
    const QString &path, const QByteArray &bytes, QString *error,
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                           | QFileDevice::ReadGroup | QFileDevice::ReadOther);
