#include "docs/THTMLInfo.h"

void THTMLInfo::SetFullPath(const QString &path)
{
    FullPath = path;
    if (!path.isEmpty())
        SplitPath();
}

void THTMLInfo::SplitPath()
{
    const qsizetype p = FullPath.lastIndexOf(QChar(kPathSeparator)) + 1;
    FileName = FullPath.mid(p);
    Directory = FullPath.left(p);
}
