#include "docs/THTMLInfo.h"

#include <QFileInfo>

void THTMLInfo::SetFullPath(const QString &path)
{
    FullPath = path;
    if (EditingDocument *text = Text.document())
        text->setPath(path);
    DiskPath = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    DiskStamp = FileStamp();
    if (!path.isEmpty())
        SplitPath();
}

void THTMLInfo::SplitPath()
{
    const qsizetype p = FullPath.lastIndexOf(QChar(kPathSeparator)) + 1;
    FileName = FullPath.mid(p);
    Directory = FullPath.left(p);
}
