// Starting programs and opening files or addresses with the desktop's applications.
#pragma once

#include <QString>

// Starts or opens fileName with params in defaultDir; true when the launch succeeded.
bool ExecuteFile(const QString &fileName, const QString &params, const QString &defaultDir,
                 int showCmd);
