#include "app/Startup.h"

#include "app/CommandLine.h"
#include "forms/fmEditor.h"
#include "host/Application.h"
#include "host/EditorStyle.h"
#include "host/QtDialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QDeadlineTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>

void PrepareProcess()
{
#ifdef SIGXFSZ
    // A write beyond the file-size limit then fails like any other failed save, instead of
    // ending the process and every unsaved document with it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    PrepareHostProcess();
}

void InitializeApplication()
{
    SetApplicationTitle(QStringLiteral("Orvik Pagloom"));
    SetApplicationHelpFile(QStringLiteral("OSTRAEDITOR.HLP"));
    // Ties the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("orvik-pagloom"));
}

int RunEditor(int argc, char **argv)
{
    QStringList typed;
    for (int i = 0; i < argc; ++i)
        typed << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = ReadCommandLine(typed);
    // Help and the version need no window, nor even a display.
    if (command.request != CommandLine::Request::Edit) {
        std::fputs(RequestReply(command.request).toLocal8Bit().constData(), stdout);
        return 0;
    }
    PrepareProcess();
    int toolkitArgc = static_cast<int>(command.toolkitArguments);
    QApplication app(toolkitArgc, argv);
    QApplication::setStyle(new EditorStyle);
    InitializeApplication();
    QtDialogs dialogs;
    TfrmEditor form(dialogs, QApplication::arguments() + command.literal);
    dialogs.setOwner(&form);
    // Without a window manager nothing maximises; fill the screen all the same.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    // A window manager gives a new window the keyboard; without one, the window takes it.
    form.activateWindow();
    // For the start-up benchmark: report the moment the shown window is idle, then end.
    if (qEnvironmentVariableIsSet("ORVIK_QUIT_WHEN_IDLE"))
        QTimer::singleShot(0, &app, [] {
            std::printf("idle %lld\n", static_cast<long long>(QDeadlineTimer::current().deadlineNSecs()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    return QApplication::exec();
}
