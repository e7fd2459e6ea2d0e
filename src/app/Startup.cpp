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
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// The signal handler only writes the signal's number here; the event loop does the rest.
int g_signalSocket[2] = {-1, -1};

void onEndingSignal(int signal)
{
    // The interrupted thread may be about to read errno after a failed call of its own.
    const int interrupted = errno;
    const char number = char(signal);
    const ssize_t ignored = ::write(g_signalSocket[1], &number, 1);
    (void)ignored;
    errno = interrupted;
}

// Log-out and a closed terminal (SIGHUP) or a plain kill (SIGTERM) end the editor without a
// question; the unsaved texts are kept as recovery copies for the next start.
std::unique_ptr<QSocketNotifier> HandleEndingSignals(TfrmEditor &form)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalSocket) != 0)
        return nullptr;
    ::fcntl(g_signalSocket[1], F_SETFL, O_NONBLOCK);
    auto notifier = std::make_unique<QSocketNotifier>(g_signalSocket[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, &form, [&form] {
        char number = 0;
        if (::read(g_signalSocket[0], &number, 1) != 1)
            return;
        form.WriteRecoveryCopiesNow();
        // Ends as the signal would have, so that whoever sent it sees why.
        std::signal(number, SIG_DFL);
        std::raise(number);
    });
    struct sigaction action = {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    return notifier;
}
#endif

} // namespace

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
#ifdef Q_OS_UNIX
    const auto signalNotifier = HandleEndingSignals(form);
#endif
    // Without a window manager nothing maximises; fill the screen all the same.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    // A window manager gives a new window the keyboard; without one, the window takes it.
    form.activateWindow();
    form.OfferRecovery();
    // For the start-up benchmark: report the moment the shown window is idle, then end.
    if (qEnvironmentVariableIsSet("ORVIK_QUIT_WHEN_IDLE"))
        QTimer::singleShot(0, &app, [] {
            std::printf("idle %lld\n",
                        static_cast<long long>(QDeadlineTimer::current().deadlineNSecs()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    return QApplication::exec();
}
