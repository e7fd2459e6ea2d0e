#include "host/Application.h"

#include "host/PreviewFileType.h"

#include <QByteArray>
#include <QCoreApplication>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QString &title()
{
    static QString value = QStringLiteral("Orvik Pagloom");
    return value;
}

QString &helpFile()
{
    static QString value;
    return value;
}

} // namespace

void PrepareHostProcess()
{
#ifdef Q_OS_UNIX
    // The engine's sandbox refuses to run as root; elsewhere it stays on.
    if (geteuid() == 0) {
        QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        if (!flags.contains("--no-sandbox"))
            qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --no-sandbox").trimmed());
    }
#endif
    // The browser engine draws through OpenGL contexts shared with Qt's global one; that one is
    // made when the engine is first started (see BrowserView), not here: asked for before the
    // application object exists, it would load the OpenGL driver at every start-up.
    // Read by the engine and by Qt's type database when they first look at a file's type.
    RegisterPreviewFileType();
}

void SetApplicationTitle(const QString &value)
{
    title() = value;
}

QString ApplicationTitle()
{
    return title();
}

void SetApplicationHelpFile(const QString &name)
{
    helpFile() = name;
}

QString ApplicationHelpFile()
{
    return helpFile();
}
