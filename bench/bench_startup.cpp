#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStandardPaths>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    double cpuMs = 0; // user and system time of the whole process
    double peakMb = 0; // its peak resident memory, in MiB
    double idleMs = 0; // from its start to its shown window idle
};

// Starts program with args, its standard output (and, with outFd 3, the display number Xvfb
// writes) going to a new pipe whose reading end is returned in *readEnd.
pid_t spawn(const QByteArray &program, const QList<QByteArray> &args, int outFd, int *readEnd)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        qFatal("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], outFd);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char *> argv {const_cast<char *>(program.constData())};
    for (const QByteArray &a : args)
        argv.push_back(const_cast<char *>(a.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ) != 0)
        qFatal("cannot start %s", program.constData());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    *readEnd = pipeFds[0];
    return pid;
}

QByteArray readAll(int fd)
{
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            out.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    ::close(fd);
    return out;
}

// A private X server for the runs; its process, or 0 when none can be started.
pid_t startXvfb()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return 0;
    int readEnd = -1;
    const pid_t pid = spawn(xvfb.toLocal8Bit(),
                            {"-displayfd", "3", "-screen", "0", "1280x900x24", "-nolisten", "tcp"},
                            3, &readEnd);
    // Xvfb writes the display number once it takes connections, and keeps the pipe open.
    QByteArray display;
    char c;
    while (::read(readEnd, &c, 1) == 1 && c != '\n')
        display.append(c);
    ::close(readEnd);
    if (display.isEmpty())
        return 0;
    qputenv("DISPLAY", ":" + display);
    return pid;
}

// Runs program through run_measured, which reports its CPU time and peak memory.
Run runOnce(const QByteArray &program, const QList<QByteArray> &args)
{
    const QByteArray measurer = QCoreApplication::applicationDirPath().toLocal8Bit()
                                + "/run_measured";
    int readEnd = -1;
    const qint64 started = QDeadlineTimer::current().deadlineNSecs();
    const pid_t pid = spawn(measurer, QList<QByteArray> {program} + args, 1, &readEnd);
    const QByteArray out = readAll(readEnd);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("%s did not run", program.constData());
    const qsizetype idle = out.indexOf("idle ");
    const qsizetype used = out.indexOf("cpu-us ");
    if (idle < 0 || used < 0)
        qFatal("%s reported no idle moment", program.constData());
    const QList<QByteArray> usage = out.mid(used).trimmed().split(' ');
    Run run;
    run.cpuMs = usage.value(1).toLongLong() / 1e3;
    run.peakMb = usage.value(3).toLongLong() / 1024.0;
    run.idleMs = (out.mid(idle + 5).split('\n').first().toLongLong() - started) / 1e6;
    return run;
}

struct Figures
{
    std::vector<double> cpu, peak, idle;
    void add(const Run &r)
    {
        cpu.push_back(r.cpuMs);
        peak.push_back(r.peakMb);
        idle.push_back(r.idleMs);
    }
};

QString spread(const std::vector<double> &values)
{
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("(%1 to %2)").arg(*lo, 0, 'f', 0).arg(*hi, 0, 'f', 0);
}

} // namespace

// Start-up of the editor to a shown, idle main window under X, as a whole process: its CPU time
// and peak memory against a window with a menu bar and a QScintilla editor (the floor), with a
// bare window for scale. Runs of the three alternate, and medians are reported.
void BenchStartup()
{
    const pid_t xvfb = startXvfb();
    if (xvfb == 0) {
        std::printf("startup    skipped: Xvfb cannot be started\n");
        return;
    }
    const QByteArray saved = qgetenv("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("ORVIK_QUIT_WHEN_IDLE", "1");
    const QByteArray dir = QCoreApplication::applicationDirPath().toLocal8Bit();
    const QByteArray bare = dir + "/bare_window";
    const QByteArray editor = dir + "/OrvikEditor";
    runOnce(bare, {"--editor"});
    runOnce(editor, {}); // warms the file cache for all
    Figures bareRuns, floorRuns, editorRuns;
    for (int i = 0; i < 11; ++i) {
        bareRuns.add(runOnce(bare, {}));
        floorRuns.add(runOnce(bare, {"--editor"}));
        editorRuns.add(runOnce(editor, {}));
    }
    qunsetenv("ORVIK_QUIT_WHEN_IDLE");
    qputenv("QT_QPA_PLATFORM", saved);
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);

    const auto report = [](const char *who, const Figures &f) {
        const QString name = QString::fromLatin1(who);
        Report("startup", name + QStringLiteral(": CPU ") + spread(f.cpu), Median(f.cpu), "ms");
        Report("startup", name + QStringLiteral(": peak memory ") + spread(f.peak), Median(f.peak),
               "MiB");
        Report("startup", name + QStringLiteral(": start to shown and idle ") + spread(f.idle),
               Median(f.idle), "ms");
    };
    report("bare window", bareRuns);
    report("floor: menu bar and QScintilla", floorRuns);
    report("OrvikEditor", editorRuns);
    ReportRatio("startup", "editor CPU / floor", Median(editorRuns.cpu) / Median(floorRuns.cpu),
                "(goal < 1.5)");
    ReportRatio("startup", "editor peak memory / floor",
                Median(editorRuns.peak) / Median(floorRuns.peak), "(goal < 1.5)");
    ReportRatio("startup", "editor start to idle / floor",
                Median(editorRuns.idle) / Median(floorRuns.idle), "");
}
