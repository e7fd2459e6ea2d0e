#include "docs/PreviewFiles.h"

#include "docs/DocumentFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <sys/stat.h>

namespace {

struct WrittenFile
{
    dev_t device = 0;
    ino_t inode = 0;
    QByteArray digest;
};

// By absolute path, as written last.
QHash<QString, WrittenFile> &writtenFiles()
{
    static QHash<QString, WrittenFile> files;
    return files;
}

QByteArray digestOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

bool sameFile(const struct stat &st, const WrittenFile &file)
{
    return S_ISREG(st.st_mode) && st.st_dev == file.device && st.st_ino == file.inode;
}

} // namespace

bool WritePreviewFile(const QString &path, const QByteArray &text,
                      QFileDevice::Permissions permissions, QString *error)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!ReplaceFileWhole(absolute, text, error, permissions))
        return false;
    struct stat st;
    if (::lstat(QFile::encodeName(absolute).constData(), &st) == 0)
        writtenFiles().insert(absolute, {st.st_dev, st.st_ino, digestOf(text)});
    return true;
}

QFileDevice::Permissions PreviewPermissions(const QString &documentPath)
{
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (documentPath.isEmpty() || !QFileInfo(documentPath).isFile())
        return own;
    return QFile::permissions(documentPath);
}

void RemoveWrittenPreviewFiles()
{
    for (auto it = writtenFiles().cbegin(); it != writtenFiles().cend(); ++it) {
        const QByteArray name = QFile::encodeName(it.key());
        struct stat st;
        if (::lstat(name.constData(), &st) != 0 || !sameFile(st, it.value()))
            continue;
        QFile file(it.key());
        if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &st) != 0
            || !sameFile(st, it.value()) || digestOf(file.readAll()) != it.value().digest)
            continue;
        file.close();
        QFile::remove(it.key());
    }
    writtenFiles().clear();
}
