// The preview's files: written beside documents, and taken away again at exit.
#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Replaces the file at path as a whole by text (see ReplaceFileWhole), with the given permission
// bits from the start, and remembers what this run wrote there.
[[nodiscard]] bool WritePreviewFile(const QString &path, const QByteArray &text,
                                    QFileDevice::Permissions permissions, QString *error);

// The permission bits a document's preview gets: the document's own, owner read and write
// for one that is not on disk (an untitled one).
QFileDevice::Permissions PreviewPermissions(const QString &documentPath);

// Removes every file WritePreviewFile wrote in this run that is still that file and holds
// exactly what was written; anything else under those names stays.
void RemoveWrittenPreviewFiles();
