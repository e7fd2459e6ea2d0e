#include "docs/DocumentFiles.h"

// ORVIK_PORTABLE_FILES builds the code other platforms use, so that it can be checked here.
#if defined(Q_OS_UNIX) && !defined(ORVIK_PORTABLE_FILES)
#include "util/UserDirs.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#ifdef Q_OS_LINUX
#include <sys/xattr.h>
#endif

namespace {

QString systemMessage(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) { }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    operator int() const { return m_fd; }
    // Closes now, so that a failing close is seen; errno tells why.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Writes all of bytes at the file's offset; errno tells why it stopped short.
bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

bool copyAll(int from, int to)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (!writeAll(to, buffer, n))
            return false;
    }
}

// A new, hidden file beside target, with the mode a new file gets (the umask applies).
int createSibling(const QByteArray &target, QByteArray *name)
{
    const qsizetype slash = target.lastIndexOf('/');
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.'
                + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncDirectoryOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    FileDescriptor dir(::open(slash <= 0 ? "/" : path.left(slash).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir >= 0)
        ::fsync(dir);
}

#ifdef Q_OS_LINUX
// The names of a file's extended attributes; nullopt when they cannot be listed.
std::optional<QList<QByteArray>> attributeNames(const std::function<ssize_t(char *, size_t)> &list)
{
    const ssize_t size = list(nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? std::optional(QList<QByteArray>()) : std::nullopt;
    QByteArray names(size, '\0');
    const ssize_t listed = list(names.data(), size_t(size));
    if (listed < 0)
        return std::nullopt;
    QList<QByteArray> result = names.left(listed).split('\0');
    result.removeAll(QByteArray());
    return result;
}
#endif

// Gives to exactly the extended attributes of from, access lists included: copies each, and
// drops any the new file inherited that the old one did not have.
bool copyExtendedAttributes(const QByteArray &from, int to)
{
#ifdef Q_OS_LINUX
    const auto wanted = attributeNames(
        [&](char *names, size_t size) { return ::listxattr(from.constData(), names, size); });
    const auto present = attributeNames(
        [&](char *names, size_t size) { return ::flistxattr(to, names, size); });
    if (!wanted || !present)
        return false;
    for (const QByteArray &name : *present)
        if (!wanted->contains(name) && ::fremovexattr(to, name.constData()) != 0)
            return false;
    for (const QByteArray &name : *wanted) {
        const char *key = name.constData();
        const ssize_t size = ::getxattr(from.constData(), key, nullptr, 0);
        QByteArray value(qMax<ssize_t>(size, 0), '\0');
        if (size < 0 || ::getxattr(from.constData(), key, value.data(), size_t(size)) != size
            || ::fsetxattr(to, key, value.constData(), size_t(size), 0) != 0)
            return false;
    }
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
    return true;
}

// Gives the new file the owner, group, mode and extended attributes of the one it replaces.
// Done after writing, which may clear set-user-ID and file capabilities.
bool keepIdentity(int fd, const struct stat &old, const QByteArray &oldPath)
{
    struct stat now;
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid)
        && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    const mode_t mode = old.st_mode & 07777;
    // The system drops set-group-ID silently for a group the user is not in.
    if (::fchmod(fd, mode) != 0 || ::fstat(fd, &now) != 0 || (now.st_mode & 07777) != mode)
        return false;
    return copyExtendedAttributes(oldPath, fd);
}

// Holds the file that a rename is about to replace, and lets it go on another thread: the system
// frees a large file's blocks and cached pages when the last reference to it goes, which would
// otherwise hold up the save.
class ReleasedLater
{
public:
    // Nothing is held for an empty path.
    explicit ReleasedLater(const QByteArray &path)
        : m_fd(path.isEmpty() ? -1 : ::open(path.constData(), O_RDONLY | O_CLOEXEC))
    { }
    ~ReleasedLater()
    {
        if (m_fd >= 0)
            std::thread([fd = m_fd] { ::close(fd); }).detach();
    }
    ReleasedLater(const ReleasedLater &) = delete;
    ReleasedLater &operator=(const ReleasedLater &) = delete;

private:
    int m_fd;
};

enum class Replace { Done, Failed, NotKeepable };

// Writes a new file beside target and renames it over target. With old (target's status), the
// new file takes on what the old one was; when it cannot, nothing is changed and the answer is
// NotKeepable.
Replace replaceWhole(const QByteArray &target, const DocumentBytes &bytes, const struct stat *old,
                     QString *error)
{
    QByteArray tempName;
    FileDescriptor fd(createSibling(target, &tempName));
    if (fd < 0) {
        const int reason = errno;
        // No new file can be made beside it: the directory is not writable, or the name too long.
        if (old
            && (reason == EACCES || reason == EPERM || reason == EROFS || reason == ENAMETOOLONG))
            return Replace::NotKeepable;
        *error = systemMessage(reason);
        return Replace::Failed;
    }
    const auto discardNewFile = [&](Replace outcome) {
        const int reason = errno;
        ::unlink(tempName.constData());
        if (outcome == Replace::Failed)
            *error = systemMessage(reason);
        return outcome;
    };
    if (!bytes([&](QByteArrayView piece) { return writeAll(fd, piece.data(), piece.size()); }))
        return discardNewFile(Replace::Failed);
    if (old && !keepIdentity(fd, *old, target))
        return discardNewFile(Replace::NotKeepable);
    const ReleasedLater replaced(old ? target : QByteArray());
    if (::fsync(fd) != 0 || !fd.close() || ::rename(tempName.constData(), target.constData()) != 0)
        return discardNewFile(Replace::Failed);
    syncDirectoryOf(target);
    return Replace::Done;
}

// A copy of the file's present bytes in the editor's private cache directory; empty on failure.
QByteArray makeSafetyCopy(int from, const QByteArray &target, QString *error)
{
    QByteArray name = QFile::encodeName(UntitledDirectory())
                      + target.mid(target.lastIndexOf('/') + 1) + ".before-save-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd >= 0) {
        FileDescriptor copy(fd);
        if (copyAll(from, copy) && ::fsync(copy) == 0 && copy.close())
            return name;
        const int reason = errno;
        ::unlink(name.constData());
        errno = reason;
    }
    *error = QStringLiteral("Cannot keep a copy of the file as it was: ") + systemMessage(errno);
    return {};
}

// Rewrites the file itself, so that it stays the same file: same links, owner and attributes.
// The old bytes stay in a safety copy until the new ones are on the disk.
bool writeInPlace(const QByteArray &target, const DocumentBytes &bytes, QString *error)
{
    FileDescriptor file(::open(target.constData(), O_RDWR | O_CLOEXEC));
    if (file < 0) {
        *error = systemMessage(errno);
        return false;
    }
    const QByteArray copy = makeSafetyCopy(file, target, error);
    if (copy.isEmpty())
        return false;
    qint64 written = 0;
    const auto write = [&](QByteArrayView piece) {
        written += piece.size();
        return writeAll(file, piece.data(), piece.size());
    };
    if (::lseek(file, 0, SEEK_SET) != 0 || !bytes(write) || ::ftruncate(file, written) != 0
        || ::fsync(file) != 0 || !file.close()) {
        *error = systemMessage(errno)
                 + QStringLiteral(".\nThe file as it was is kept in \"%1\"")
                       .arg(QFile::decodeName(copy));
        return false;
    }
    ::unlink(copy.constData());
    return true;
}

} // namespace

bool SaveDocumentFile(const QString &path, const DocumentBytes &bytes, QString *error)
{
    // A symbolic link stays a link: its target is saved.
    const QFileInfo given(path);
    const QString resolved = !given.isSymLink()                    ? path
                             : given.canonicalFilePath().isEmpty() ? given.symLinkTarget()
                                                                   : given.canonicalFilePath();
    const QByteArray target = QFile::encodeName(QFileInfo(resolved).absoluteFilePath());
    struct stat old;
    if (::stat(target.constData(), &old) != 0)
        return replaceWhole(target, bytes, nullptr, error) == Replace::Done;
    if (!S_ISREG(old.st_mode)) {
        *error = S_ISDIR(old.st_mode) ? systemMessage(EISDIR)
                                      : QStringLiteral("Not a regular file");
        return false;
    }
    // A file with other names is written in place, so that every name sees the new text.
    if (old.st_nlink == 1) {
        const Replace replaced = replaceWhole(target, bytes, &old, error);
        if (replaced != Replace::NotKeepable)
            return replaced == Replace::Done;
    }
    return writeInPlace(target, bytes, error);
}

#else
#include <QSaveFile>

namespace {

bool writeAll(QFileDevice &file, QByteArrayView bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace

bool SaveDocumentFile(const QString &path, const DocumentBytes &bytes, QString *error)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write (a full disk, a size limit) shows in write()'s result
    // and the next write reports the system's reason; a buffered flush can lose it and commit
    // a truncated file.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        && bytes([&file](QByteArrayView piece) { return writeAll(file, piece); }) && file.commit())
        return true;
    *error = file.errorString();
    file.cancelWriting();
    return false;
}

#endif

bool SaveDocumentFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return SaveDocumentFile(
        path, [&bytes](const std::function<bool(QByteArrayView)> &write) { return write(bytes); },
        error);
}
