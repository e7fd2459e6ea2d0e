#include "host/PreviewFileType.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char **environ;
#endif

namespace {

const QByteArray kEntry = R"(<?xml version="1.0" encoding="UTF-8"?>
<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">
  <mime-type type="text/html"><glob pattern="*.ht~" weight="90"/></mime-type>
</mime-info>
)";

QByteArray readSmallFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
}

// Runs update-mime-database on mimeDir, quietly; true when it succeeded.
bool compileDatabase(const QString &mimeDir)
{
#ifdef Q_OS_UNIX
    const QByteArray dir = QFile::encodeName(mimeDir);
    char program[] = "update-mime-database";
    char *argv[] = {program, const_cast<char *>(dir.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)
           && WEXITSTATUS(status) == 0;
#else
    Q_UNUSED(mimeDir);
    return false;
#endif
}

bool isCurrent(const QString &mimeDir)
{
    return readSmallFile(mimeDir + QStringLiteral("/packages/orvik-preview.xml")) == kEntry
           && QFile::exists(mimeDir + QStringLiteral("/mime.cache"));
}

// The data folder holding mime/, built on first use and rebuilt when the entry changes. It is
// built aside and moved into place whole, so that editors starting together never see half of
// one; when another one moved its own in first, that one is used.
bool ensureEntry(const QString &dataDir)
{
    const QString mimeDir = dataDir + QStringLiteral("/mime");
    if (isCurrent(mimeDir))
        return true;
    if (!QDir().mkpath(dataDir))
        return false;
    QTemporaryDir building(dataDir + QStringLiteral("/building-XXXXXX"));
    QFile package(building.path() + QStringLiteral("/packages/orvik-preview.xml"));
    if (!building.isValid() || !QDir().mkpath(building.path() + QStringLiteral("/packages"))
        || !package.open(QIODevice::WriteOnly) || package.write(kEntry) != kEntry.size()
        || !package.flush() || !compileDatabase(building.path()))
        return isCurrent(mimeDir);
    if (QFileInfo::exists(mimeDir) && !isCurrent(mimeDir))
        QDir(mimeDir).removeRecursively();
    QDir().rename(building.path(), mimeDir);
    return isCurrent(mimeDir);
}

} // namespace

void RegisterPreviewFileType()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return;
    const QString dataDir = cache + QStringLiteral("/Orvik/PreviewTypes");
    if (!ensureEntry(dataDir))
        return;
    const QByteArray ours = QFile::encodeName(dataDir);
    QByteArray dirs = qgetenv("XDG_DATA_DIRS");
    if (dirs.split(':').contains(ours))
        return;
    // An empty variable means the standard folders, which must stay searched behind ours.
    if (dirs.isEmpty())
        dirs = "/usr/local/share/:/usr/share/";
    qputenv("XDG_DATA_DIRS", ours + ':' + dirs);
}
