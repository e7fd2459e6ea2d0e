#include "host/Volumes.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>

#include <algorithm>

namespace {

bool isUnder(const QString &path, const QString &dir)
{
    const QString prefix = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    return path == dir || path.startsWith(prefix);
}

// Kernel views, memory, container layers and the read-only images packages come in hold no
// user's files.
bool isPseudo(const QByteArray &fileSystemType)
{
    static const QByteArrayList pseudo {"proc",   "sysfs",  "tmpfs",   "devtmpfs",
                                        "devpts", "ramfs",  "overlay", "squashfs",
                                        "autofs", "cgroup", "cgroup2"};
    return pseudo.contains(fileSystemType);
}

// Where users' volumes are mounted: a drive letter's root, the removable media folders, /mnt,
// and the home, leaving out hidden folders where programs mount things of their own.
bool isUserPlace(const QString &root, const QString &home)
{
    if (root.size() == 3 && root.at(1) == QLatin1Char(':'))
        return true;
    for (const QString &base :
         {QStringLiteral("/media"), QStringLiteral("/run/media"), QStringLiteral("/mnt"), home}) {
        if (base != QLatin1String("/") && isUnder(root, base))
            return !root.mid(base.size()).contains(QLatin1String("/."));
    }
    return false;
}

// The mount that holds path: the one with the longest root above it.
const MountedVolume *mountOf(const QList<MountedVolume> &mounts, const QString &path)
{
    const MountedVolume *best = nullptr;
    for (const MountedVolume &m : mounts)
        if (isUnder(path, m.rootPath) && (!best || m.rootPath.size() > best->rootPath.size()))
            best = &m;
    return best;
}

} // namespace

QList<VolumePlace> BrowsableVolumes(QList<MountedVolume> mounts, const QString &home)
{
    QList<VolumePlace> places {{QStringLiteral("/"), QStringLiteral("/")}};
    if (home != QLatin1String("/"))
        places.append({home, home});
    // A second mount of a device already offered (a bind mount) shows nothing new.
    QSet<QByteArray> devices;
    for (const QString &path : {QStringLiteral("/"), home})
        if (const MountedVolume *m = mountOf(mounts, path))
            devices.insert(m->device);
    std::sort(mounts.begin(), mounts.end(), [](const MountedVolume &a, const MountedVolume &b) {
        return a.rootPath < b.rootPath;
    });
    for (const MountedVolume &m : mounts) {
        if (isPseudo(m.fileSystemType) || !isUserPlace(m.rootPath, home)
            || devices.contains(m.device))
            continue;
        devices.insert(m.device);
        const QString labelled = m.rootPath + QStringLiteral(" [") + m.label + QLatin1Char(']');
        places.append({m.rootPath, m.label.isEmpty() ? m.rootPath : labelled});
    }
    return places;
}

QList<VolumePlace> BrowsableVolumes()
{
    QList<MountedVolume> mounts;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        // Files mounted over files are not volumes one can browse.
        if (v.isValid() && v.isReady() && QFileInfo(v.rootPath()).isDir())
            mounts.append({v.rootPath(), v.device(), v.fileSystemType(), v.name()});
    return BrowsableVolumes(mounts, QDir::homePath());
}
