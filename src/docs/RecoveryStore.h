// Copies of unsaved documents on disk, so that a run that ends without Exit loses no text.
// Each run keeps its copies in a directory of its own, beside a lock the run holds; a directory
// whose lock no running process holds was left by a run that ended unexpectedly.
#pragma once

#include "docs/FileStamp.h"

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <vector>

struct RecoveryEntry
{
    quint64 id = 0;
    // Empty for an untitled document.
    QString path;
    // The tab's caption without the change mark.
    QString caption;
    FileStamp stamp;
    // The document's bytes; nullopt keeps the copy written before.
    std::optional<QByteArray> bytes;
};

class RecoveryStore
{
public:
    // directory: where every run keeps its copies, created with mode 0700.
    explicit RecoveryStore(const QString &directory);
    // Waits for writes under way; the copies stay.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // Makes the run's copies exactly entries, in this order, away from the calling thread:
    // documents that are not listed lose theirs. Writes are done in the order they are asked.
    void write(QList<RecoveryEntry> entries);
    // Removes the run's copies.
    void clear() { write({}); }
    // Waits until every write asked for is on disk.
    void wait();

    // Takes the copies of runs that ended unexpectedly, oldest run first, each in its tab order;
    // their locks are held until releaseOrphans(). The copies of running processes are left.
    QList<RecoveryEntry> takeOrphans();
    // Lets the taken copies go: removed, or left for a later run.
    void releaseOrphans(bool remove);

private:
    QString m_directory;
    QString m_session;
    QLockFile m_lock;
    QThreadPool m_queue;
    struct Orphan
    {
        QString directory;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Orphan> m_orphans;
};
