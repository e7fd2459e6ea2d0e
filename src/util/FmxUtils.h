// Starting programs and opening files or addresses with the desktop's applications.
#pragma once

#include <QString>
#include <QStringList>

// Program name that stands for the desktop's default web browser: the parameter is the
// address to show (a web address, or "mailto:" with an e-mail address).
inline const QString DefaultWebBrowser = QStringLiteral("default-web-browser");

// Starts or opens fileName in defaultDir; true when the launch succeeded. An executable
// fileName (a path, relative ones against defaultDir, or a program on the PATH) runs with
// params as its only argument, passed whole and never through a shell; any other existing
// file is opened with the desktop's default application; DefaultWebBrowser opens params as
// an address. showCmd is the window state the caller asks for; the desktop decides here.
bool ExecuteFile(const QString &fileName, const QString &params, const QString &defaultDir,
                 int showCmd);

// The same with several arguments, each passed as it is.
bool ExecuteFile(const QString &fileName, const QStringList &params, const QString &defaultDir,
                 int showCmd);
