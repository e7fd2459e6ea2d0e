// Reading whole files, byte for byte, without ever blocking on something that is not a file.
#pragma once

#include <QByteArray>
#include <QString>

struct RegularFile
{
    enum Status { Read, Missing, Unreadable };
    Status status = Missing;
    QByteArray bytes;
    // Why it was not read, as the system words it: "Is a directory", "Permission denied"...
    QString reason;
};

// Up to maxBytes of a regular file (symbolic links followed). A FIFO, a device or a directory
// is Unreadable and never waited on; Missing means nothing by that name, or a parent that is
// not a directory.
RegularFile ReadRegularFile(const QString &path, qint64 maxBytes);

// The whole file as it is; fails with "Cannot open file %s." and the reason on a second line
// for anything but a readable regular file.
QByteArray ReadDocumentFile(const QString &path);
