#include "host/SettingsStore.h"

#include "host/FileRead.h"
#include "util/HostError.h"
#include "util/UserDirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLockFile>
#include <QSaveFile>

#include <limits>

namespace {

// A larger file is not one of ours; reading it whole would only stall the start-up.
constexpr qint64 kMaxFileSize = 1024 * 1024;
// Another copy holds the lock only while it rewrites a few hundred bytes.
constexpr int kLockWaitMs = 2000;

enum class FileState { Absent, Object, Malformed, Unreadable };

struct Content
{
    FileState state = FileState::Absent;
    QJsonObject values;
};

Content load(const QString &path)
{
    const RegularFile file = ReadRegularFile(path, kMaxFileSize + 1);
    if (file.status != RegularFile::Read)
        return {file.status == RegularFile::Missing ? FileState::Absent : FileState::Unreadable,
                {}};
    const QByteArray &bytes = file.bytes;
    if (bytes.size() > kMaxFileSize)
        return {FileState::Malformed, {}};
    // An empty file has nothing worth keeping.
    if (bytes.trimmed().isEmpty())
        return {FileState::Object, {}};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {FileState::Malformed, {}};
    return {FileState::Object, document.object()};
}

[[nodiscard]] bool save(const QString &path, const QJsonObject &values)
{
    QSaveFile file(path);
    const QByteArray bytes = QJsonDocument(values).toJson(QJsonDocument::Indented);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Moves a file we cannot understand out of the way under a name not yet taken, so that
// replacing it destroys nothing the user may want back.
[[nodiscard]] bool keepAside(const QString &path)
{
    for (int n = 1; n <= 100; ++n) {
        const QString target = n == 1 ? path + QStringLiteral(".bad")
                                      : path + QStringLiteral(".bad.%1").arg(n);
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink())
            return QFile::rename(path, target);
    }
    return false;
}

bool isSettingsKey(const QString &key)
{
    QString k = key;
    k.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (k.endsWith(QLatin1Char('\\')))
        k.chop(1);
    while (k.startsWith(QLatin1Char('\\')))
        k.remove(0, 1);
    // Registry key names ignore case.
    return k.compare(QLatin1String("Orvik\\Pagloom"), Qt::CaseInsensitive) == 0;
}

EHostError invalidType(const QString &name)
{
    return EHostError(QStringLiteral("Invalid data type for '%1'").arg(name));
}

EHostError failedToSet(const QString &name)
{
    return EHostError(QStringLiteral("Failed to set data for '%1'").arg(name));
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(SettingsFilePath()) { }

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath) { }

SettingsStore::~SettingsStore() = default;

void SettingsStore::OpenKey(const QString &key, bool canCreate)
{
    const EHostError failure(QStringLiteral("Failed to open key '%1'").arg(key));
    if (!isSettingsKey(key))
        throw failure;
    if (load(m_filePath).state == FileState::Absent) {
        if (!canCreate || !QDir().mkpath(QFileInfo(m_filePath).absolutePath()))
            throw failure;
        QLockFile lock(m_filePath + QStringLiteral(".lock"));
        if (!lock.tryLock(kLockWaitMs))
            throw failure;
        if (load(m_filePath).state == FileState::Absent && !save(m_filePath, QJsonObject()))
            throw failure;
    }
    m_open = true;
}

QString SettingsStore::ReadString(const QString &name)
{
    if (!m_open)
        return QString();
    const QJsonValue value = load(m_filePath).values.value(name);
    if (value.isUndefined())
        return QString();
    if (!value.isString())
        throw invalidType(name);
    QString text = value.toString();
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

int SettingsStore::ReadInteger(const QString &name)
{
    const QJsonValue value = m_open ? load(m_filePath).values.value(name) : QJsonValue::Undefined;
    if (value.isUndefined())
        throw EHostError(QStringLiteral("Failed to get data for '%1'").arg(name));
    // Whole numbers parse as integers; a fraction, a boolean, a string, null or a value beyond
    // 32 bits is another type.
    const QVariant number = value.toVariant();
    if (!value.isDouble() || number.typeId() != QMetaType::LongLong)
        throw invalidType(name);
    const qint64 n = number.toLongLong();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        throw invalidType(name);
    return int(n);
}

void SettingsStore::WriteString(const QString &name, const QString &value)
{
    write(name, value);
}

void SettingsStore::WriteInteger(const QString &name, int value)
{
    write(name, value);
}

void SettingsStore::write(const QString &name, const QJsonValue &value)
{
    if (!m_open)
        throw failedToSet(name);
    QLockFile lock(m_filePath + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        throw failedToSet(name);
    Content content = load(m_filePath);
    // A file that exists but cannot be read is never replaced: its values would be lost.
    if (content.state == FileState::Unreadable)
        throw failedToSet(name);
    if (content.state == FileState::Malformed && !keepAside(m_filePath))
        throw failedToSet(name);
    content.values.insert(name, value);
    if (!save(m_filePath, content.values))
        throw failedToSet(name);
}

void SettingsStore::CloseKey()
{
    m_open = false;
}
