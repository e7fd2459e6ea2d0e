#include "docs/DocumentFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

namespace {

bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace

bool SaveDocumentFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write (a full disk, a size limit) shows in write()'s result
    // and the next write reports the system's reason; a buffered flush can lose it and commit
    // a truncated file.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && writeAll(file, bytes) && file.commit())
        return true;
    *error = file.errorString();
    file.cancelWriting();
    return false;
}

bool ReplaceFileWhole(const QString &path, const QByteArray &bytes, QString *error,
                      QFileDevice::Permissions permissions)
{
    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.Orvik_temp.XXXXXX"));
    // The size check catches a short write that a buffered flush would not report.
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush()
        || temp.size() != bytes.size()) {
        *error = temp.error() != QFileDevice::NoError ? temp.errorString()
                                                      : QStringLiteral("The disk is full");
        return false;
    }
    // Written while private to its owner; the final bits only once the content is complete.
    temp.setPermissions(permissions);
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
