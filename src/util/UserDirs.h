// The per-user places the editor keeps its files in.
#pragma once

#include <QString>

// The private directory of untitled documents, with its trailing separator; created with
// mode 0700 on first use.
QString UntitledDirectory();

// The settings file, Orvik/Pagloom.json in the user's configuration directory.
QString SettingsFilePath();

// Where the copies of unsaved documents are kept: Orvik/Pagloom/recovery in the user's data
// directory, without a trailing separator.
QString RecoveryDirectory();
