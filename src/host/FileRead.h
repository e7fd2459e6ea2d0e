// Reading a whole file for the editor, byte for byte.
#pragma once

#include <QByteArray>
#include <QString>

// The whole file as it is; fails with "Cannot open file %s" for anything but a readable
// regular file (a FIFO or a device would block the editor).
QByteArray ReadDocumentFile(const QString &path);
