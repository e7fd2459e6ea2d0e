#include "util/FmxUtils.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool openAddress(const QStringList &params)
{
    if (params.size() != 1 || params.first().trimmed().isEmpty())
        return false;
    const QUrl url = QUrl::fromUserInput(params.first());
    return url.isValid() && QDesktopServices::openUrl(url);
}

// Each parameter reaches the program as one argument; no shell reads them. A working
// directory that cannot be entered fails the launch.
bool startProgram(const QString &program, const QStringList &params, const QString &workDir)
{
    return QProcess::startDetached(program, params, workDir);
}

// "scheme:..." with a scheme of two or more letters, so that nothing that could be a
// file name with a colon in it counts as an address unless it fails as a file first.
bool looksLikeAddress(const QString &fileName)
{
    const QUrl url(fileName, QUrl::StrictMode);
    return url.isValid() && url.scheme().size() > 1;
}

} // namespace

bool ExecuteFile(const QString &fileName, const QString &params, const QString &defaultDir,
                 int showCmd)
{
    return ExecuteFile(fileName, params.isEmpty() ? QStringList() : QStringList {params},
                       defaultDir, showCmd);
}

bool ExecuteFile(const QString &fileName, const QStringList &params, const QString &defaultDir,
                 int /*showCmd*/)
{
    if (fileName.isEmpty())
        return false;
    if (fileName == DefaultWebBrowser)
        return openAddress(params);

    const QString workDir = defaultDir.isEmpty() ? QDir::currentPath() : defaultDir;
    const QFileInfo file(QDir(workDir), fileName);
    if (file.exists()) {
        if (file.isFile() && file.isExecutable())
            return startProgram(file.absoluteFilePath(), params, workDir);
        return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
    if (!fileName.contains(QLatin1Char('/'))) {
        const QString program = QStandardPaths::findExecutable(fileName);
        if (!program.isEmpty())
            return startProgram(program, params, workDir);
    }
    if (looksLikeAddress(fileName))
        return QDesktopServices::openUrl(QUrl(fileName, QUrl::StrictMode));
    return false;
}
