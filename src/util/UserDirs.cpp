#include "util/UserDirs.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

QString baseDir(QStandardPaths::StandardLocation location, const char *xdgVariable,
                const char *fallback)
{
    // The XDG variables win even where the platform would not consult them.
    const QByteArray fromEnv = qgetenv(xdgVariable);
    if (!fromEnv.isEmpty() && QDir::isAbsolutePath(QString::fromLocal8Bit(fromEnv)))
        return QString::fromLocal8Bit(fromEnv);
    const QString standard = QStandardPaths::writableLocation(location);
    return standard.isEmpty() ? QDir::homePath() + QLatin1String(fallback) : standard;
}

} // namespace

QString UntitledDirectory()
{
    const QString dir = baseDir(QStandardPaths::GenericCacheLocation, "XDG_CACHE_HOME", "/.cache")
                        + QStringLiteral("/Orvik/Pagloom/");
    if (!QDir(dir).exists()) {
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                       | QFileDevice::ExeOwner);
    }
    return dir;
}

QString SettingsFilePath()
{
    return baseDir(QStandardPaths::GenericConfigLocation, "XDG_CONFIG_HOME", "/.config")
           + QStringLiteral("/Orvik/Pagloom.json");
}

QString RecoveryDirectory()
{
    return baseDir(QStandardPaths::GenericDataLocation, "XDG_DATA_HOME", "/.local/share")
           + QStringLiteral("/Orvik/Pagloom/recovery");
}
