// The places the drive box offers: the file-system root, the user's home, and the volumes a
// user mounts (removable media, network shares, disks under the home), each device once.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct MountedVolume
{
    QString rootPath;
    QByteArray device;
    QByteArray fileSystemType;
    QString label;
};

struct VolumePlace
{
    QString root;
    QString text;
};

// "/", then home, then the user volumes among mounts (valid, ready directories) by path.
QList<VolumePlace> BrowsableVolumes(QList<MountedVolume> mounts, const QString &home);

// The same for this machine's mounts and user.
QList<VolumePlace> BrowsableVolumes();
