#include "host/FileRead.h"

#include "util/HostError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

QString notRegularReason(bool isDirectory)
{
    return isDirectory ? QStringLiteral("Is a directory") : QStringLiteral("Not a regular file");
}

} // namespace

// ORVIK_PORTABLE_FILES builds the code other platforms use, so that it can be checked here.
#if defined(Q_OS_UNIX) && !defined(ORVIK_PORTABLE_FILES)
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFile ReadRegularFile(const QString &path, qint64 maxBytes)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        const bool missing = error == ENOENT || error == ENOTDIR;
        return {missing ? RegularFile::Missing : RegularFile::Unreadable,
                {},
                QString::fromLocal8Bit(std::strerror(error))};
    }
    RegularFile result {RegularFile::Unreadable, {}, {}};
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        result.reason = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!S_ISREG(st.st_mode)) {
        result.reason = notRegularReason(S_ISDIR(st.st_mode));
    } else {
        result.status = RegularFile::Read;
        // Read straight into a buffer of the file's size. Once it is full, a small probe looks
        // for more, so a file of the size it reported is never moved to a larger buffer; one
        // that grew meanwhile, or reported no size, is read on in doubling buffers.
        QByteArray &bytes = result.bytes;
        bytes.resize(qsizetype(std::min<qint64>(st.st_size, maxBytes)));
        qsizetype used = 0;
        char probe[4096];
        while (used < maxBytes) {
            const bool full = used == bytes.size();
            char *target = full ? probe : bytes.data() + used;
            const size_t room = full ? size_t(std::min<qint64>(sizeof probe, maxBytes - used))
                                     : size_t(bytes.size() - used);
            const ssize_t n = ::read(fd, target, room);
            if (n == 0)
                break;
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                result = {
                    RegularFile::Unreadable, {}, QString::fromLocal8Bit(std::strerror(errno))};
                break;
            }
            if (full) {
                bytes.resize(
                    qsizetype(std::min<qint64>(std::max<qint64>(2 * used, used + n), maxBytes)));
                std::memcpy(bytes.data() + used, probe, size_t(n));
            }
            used += n;
        }
        if (result.status == RegularFile::Read)
            bytes.truncate(used);
    }
    ::close(fd);
    return result;
}
#else
RegularFile ReadRegularFile(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {RegularFile::Missing, {}, QStringLiteral("No such file or directory")};
    if (!info.isFile())
        return {RegularFile::Unreadable, {}, notRegularReason(info.isDir())};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {RegularFile::Unreadable, {}, file.errorString()};
    QByteArray bytes = maxBytes > info.size() ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError)
        return {RegularFile::Unreadable, {}, file.errorString()};
    return {RegularFile::Read, std::move(bytes), {}};
}
#endif

QByteArray ReadDocumentFile(const QString &path)
{
    const qint64 whole = std::numeric_limits<qsizetype>::max();
    RegularFile file = path.isEmpty() ? RegularFile {RegularFile::Missing,
                                                     {},
                                                     QStringLiteral("No such file or directory")}
                                      : ReadRegularFile(path, whole);
    if (file.status != RegularFile::Read) {
        // The first line reads as the report always showed it, ended as the report ends a text.
        QString message = QStringLiteral("Cannot open file ") + path;
        if (message.back() > QLatin1Char('.'))
            message += QLatin1Char('.');
        throw EHostError(message + QLatin1Char('\n') + file.reason);
    }
    return std::move(file.bytes);
}
