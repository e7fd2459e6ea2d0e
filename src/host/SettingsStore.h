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

    // Opens the key by its relative path, creating it when missing; fails with an error.
    void OpenKey(const QString &key, bool canCreate);
    // A string value; absent gives "", another type is an error.
    QString ReadString(const QString &name);
    // An integer value; absent or another type is an error.
    int ReadInteger(const QString &name);
    // Writes one value; failure is the error "Failed to set data for '%s'".
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
