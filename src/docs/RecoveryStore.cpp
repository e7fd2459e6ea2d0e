#include "docs/RecoveryStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString kIndexName = QStringLiteral("index.json");
const QString kLockSuffix = QStringLiteral(".lock");

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    file.cancelWriting();
    return false;
}

QString bytesName(quint64 id)
{
    return QString::number(id) + QStringLiteral(".text");
}

QJsonObject toJson(const RecoveryEntry &entry)
{
    return {{QStringLiteral("id"), QString::number(entry.id)},
            {QStringLiteral("path"), entry.path},
            {QStringLiteral("caption"), entry.caption},
            {QStringLiteral("exists"), entry.stamp.exists},
            {QStringLiteral("size"), QString::number(entry.stamp.size)},
            {QStringLiteral("modified"), QString::number(entry.stamp.modifiedNs)},
            {QStringLiteral("inode"), QString::number(entry.stamp.inode)},
            {QStringLiteral("device"), QString::number(entry.stamp.device)}};
}

RecoveryEntry fromJson(const QJsonObject &object)
{
    RecoveryEntry entry;
    entry.id = object.value(QStringLiteral("id")).toString().toULongLong();
    entry.path = object.value(QStringLiteral("path")).toString();
    entry.caption = object.value(QStringLiteral("caption")).toString();
    entry.stamp.exists = object.value(QStringLiteral("exists")).toBool();
    entry.stamp.size = object.value(QStringLiteral("size")).toString().toLongLong();
    entry.stamp.modifiedNs = object.value(QStringLiteral("modified")).toString().toLongLong();
    entry.stamp.inode = object.value(QStringLiteral("inode")).toString().toULongLong();
    entry.stamp.device = object.value(QStringLiteral("device")).toString().toULongLong();
    return entry;
}

// Runs on the queue's thread.
void writeSession(const QString &dir, const QList<RecoveryEntry> &entries)
{
    if (entries.isEmpty()) {
        QDir(dir).removeRecursively();
        return;
    }
    if (!QDir().mkpath(dir))
        return;
    QJsonArray index;
    QStringList kept {kIndexName};
    for (const RecoveryEntry &entry : entries) {
        const QString name = bytesName(entry.id);
        if (entry.bytes && !writeAtomically(dir + u'/' + name, *entry.bytes))
            continue; // an earlier copy, if any, stays listed below only when it exists
        if (!QFile::exists(dir + u'/' + name))
            continue;
        index.append(toJson(entry));
        kept << name;
    }
    writeAtomically(dir + u'/' + kIndexName, QJsonDocument(index).toJson(QJsonDocument::Compact));
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        if (!kept.contains(name))
            QFile::remove(dir + u'/' + name);
}

} // namespace

RecoveryStore::RecoveryStore(const QString &directory)
    : m_directory(directory),
      m_session(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmsszzz")) + u'-'
                + QString::number(QCoreApplication::applicationPid())),
      m_lock(directory + u'/' + m_session + kLockSuffix)
{
    QDir().mkpath(m_directory);
    QFile::setPermissions(m_directory,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_lock.tryLock(0);
    m_queue.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore()
{
    wait();
}

void RecoveryStore::write(QList<RecoveryEntry> entries)
{
    const QString dir = m_directory + u'/' + m_session;
    m_queue.start([dir, entries = std::move(entries)] { writeSession(dir, entries); });
}

void RecoveryStore::wait()
{
    m_queue.waitForDone();
}

QList<RecoveryEntry> RecoveryStore::takeOrphans()
{
    QList<RecoveryEntry> result;
    QDir root(m_directory);
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (name == m_session)
            continue;
        auto lock = std::make_unique<QLockFile>(root.filePath(name + kLockSuffix));
        // Only a process that is gone leaves its lock behind; age alone says nothing.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            continue;
        const QString dir = root.filePath(name);
        QFile index(dir + u'/' + kIndexName);
        if (index.open(QIODevice::ReadOnly)) {
            const QJsonArray entries = QJsonDocument::fromJson(index.readAll()).array();
            for (const QJsonValue &value : entries) {
                RecoveryEntry entry = fromJson(value.toObject());
                QFile text(dir + u'/' + bytesName(entry.id));
                if (!text.open(QIODevice::ReadOnly))
                    continue;
                entry.bytes = text.readAll();
                result.append(entry);
            }
        }
        m_orphans.push_back({dir, std::move(lock)});
    }
    // Locks of ended runs that had no copies to keep.
    for (const QString &name : root.entryList({u'*' + kLockSuffix}, QDir::Files | QDir::Hidden)) {
        const QString session = name.chopped(kLockSuffix.size());
        if (session == m_session || root.exists(session))
            continue;
        QLockFile lock(root.filePath(name));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
    return result;
}

void RecoveryStore::releaseOrphans(bool remove)
{
    for (Orphan &orphan : m_orphans) {
        if (remove)
            QDir(orphan.directory).removeRecursively();
        orphan.lock->unlock();
    }
    m_orphans.clear();
}
