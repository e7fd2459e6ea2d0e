#include "host/SettingsStore.h"

#include "host/HostError.h"
#include "host/UserDirs.h"

// Placeholder until the settings file is read and written: every value reads as absent.
SettingsStore::SettingsStore() : SettingsStore(SettingsFilePath()) {}

SettingsStore::SettingsStore(const QString &filePath) : m_filePath(filePath) {}

SettingsStore::~SettingsStore() = default;

void SettingsStore::OpenKey(const QString &, bool)
{
    m_open = true;
}

QString SettingsStore::ReadString(const QString &)
{
    return QString();
}

int SettingsStore::ReadInteger(const QString &name)
{
    throw EHostError(QStringLiteral("Invalid data type for '%1'").arg(name));
}

void SettingsStore::WriteString(const QString &name, const QString &value)
{
    write(name, value);
}

void SettingsStore::WriteInteger(const QString &name, int value)
{
    write(name, value);
}

void SettingsStore::write(const QString &, const QJsonValue &) {}

void SettingsStore::CloseKey()
{
    m_open = false;
}
