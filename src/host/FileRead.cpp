#include "host/FileRead.h"

#include "host/HostError.h"

#include <QFile>
#include <QFileInfo>

QByteArray ReadDocumentFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Cannot open file %1").arg(path));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EHostError(QStringLiteral("Cannot open file %1").arg(path));
    return content;
}
