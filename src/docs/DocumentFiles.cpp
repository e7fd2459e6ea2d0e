#include "docs/DocumentFiles.h"

#include "host/HostError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

QByteArray ReadDocumentFile(const QString &path)
{
    const QFileInfo info(path);
    QFile file(path);
    if (path.isEmpty() || !info.isFile() || !file.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Cannot open file %1").arg(path));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EHostError(QStringLiteral("Cannot open file %1").arg(path));
    return content;
}

bool SaveDocumentFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    *error = file.errorString();
    file.cancelWriting();
    return false;
}

bool ReplaceFileWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.Orvik_temp.XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush()) {
        *error = temp.errorString();
        return false;
    }
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    temp.close();
    std::error_code ec;
    // rename replaces the name itself, so a link planted there is replaced, not followed.
    std::filesystem::rename(std::filesystem::path(temp.fileName().toStdU16String()),
                            std::filesystem::path(target.absoluteFilePath().toStdU16String()), ec);
    if (ec) {
        *error = QString::fromStdString(ec.message());
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}
