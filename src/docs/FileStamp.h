// What a file on disk looked like at one moment, to tell whether something else wrote it since.
#pragma once

#include <QString>
#include <QtGlobal>

struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    friend bool operator==(const FileStamp &, const FileStamp &) = default;
};

// The stamp of the file path names, following symbolic links; exists is false when there is none.
FileStamp StampFile(const QString &path);
