// Process-wide properties of the application, set by the program entry.
#pragma once

#include <QString>

// Before the application object exists: what the browser engine needs to start here.
void PrepareHostProcess();

// The title of the taskbar entry and of the general error report ("Orvik Pagloom").
void SetApplicationTitle(const QString &title);
QString ApplicationTitle();

void SetApplicationHelpFile(const QString &name);
QString ApplicationHelpFile();
