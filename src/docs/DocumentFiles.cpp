#include "docs/DocumentFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <cstring>
#include <filesystem>
#include <system_error>

bool LooksLikeBinary(const QByteArray &bytes)
{
    const size_t head = size_t(qMin<qsizetype>(bytes.size(), 64 * 1024));
    if (!std::memchr(bytes.constData(), '\0', head))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(bytes); // only the decoder's verdict is wanted
    Q_UNUSED(decoded);
    return utf8.hasError();
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
