// Writing documents and the editor's own scratch files, byte for byte.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// The preview's file, written beside a document; New also leaves an empty one.
inline const QString kPreviewFileName = QStringLiteral("Orvik_temp.ht~");

// Saves a document atomically: the old file is replaced only once the new content is fully
// written, its permissions are kept, and a symbolic link is followed to its target.
[[nodiscard]] bool SaveDocumentFile(const QString &path, const QByteArray &bytes, QString *error);

// Replaces the file at path as a whole by a new file with the given permission bits: whatever
// stood under that name (a symbolic or hard link included) is replaced, never written through.
[[nodiscard]] bool ReplaceFileWhole(const QString &path, const QByteArray &bytes, QString *error,
                                    QFileDevice::Permissions permissions = QFileDevice::ReadOwner
                                        | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                        | QFileDevice::ReadOther);
