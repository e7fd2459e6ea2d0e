// The per-user settings key: typed named values kept in one JSON file, like a registry key.
#pragma once

#include <QJsonObject>
#include <QString>

class SettingsStore
{
public:
    // The store over the user's settings file (Orvik/Pagloom.json in the config directory).
    SettingsStore();
    explicit SettingsStore(const QString &filePath);
    ~SettingsStore();

    // Opens the key by its relative path, creating it (an empty file) when missing; fails with
    // an error. Until it is open every value reads as absent and every write fails.
    void OpenKey(const QString &key, bool canCreate);
    // A string value, up to its first NUL; absent gives "", another type is an error.
    QString ReadString(const QString &name);
    // A 32-bit integer value; absent or another type is an error.
    int ReadInteger(const QString &name);
    // Each write reads the file afresh, changes one value and replaces the file atomically
    // under a lock, so concurrent writers of other values lose nothing. Failure is the error
    // "Failed to set data for '%s'".
    void WriteString(const QString &name, const QString &value);
    void WriteInteger(const QString &name, int value);
    // Closes the key.
    void CloseKey();

    QString filePath() const { return m_filePath; }

private:
    void write(const QString &name, const QJsonValue &value);

    QString m_filePath;
    bool m_open = false;
};

// The key that every settings routine opens.
inline const char *const kSettingsKey = "Orvik\\Pagloom\\";
