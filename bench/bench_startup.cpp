#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// From the start of a process to the moment it reports its shown window idle; the exit
// that follows is not counted.
double runMs(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = QDeadlineTimer::current().deadlineNSecs();
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qFatal("%s did not run", qPrintable(program));
    const QByteArray out = p.readAllStandardOutput();
    const qsizetype at = out.indexOf("idle ");
    if (at < 0)
        qFatal("%s reported no idle moment", qPrintable(program));
    const qint64 idle = out.mid(at + 5).split('\n').first().toLongLong();
    return (idle - started) / 1e6;
}

} // namespace

// Start-up of the editor to a shown, idle main window, against a bare main window.
void BenchStartup()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString bare = dir + QStringLiteral("/bare_window");
    const QString editor = dir + QStringLiteral("/../OrvikEditor");
    qputenv("ORVIK_QUIT_WHEN_IDLE", "1");
    runMs(bare, {});
    runMs(editor, {}); // warm the file cache for both
    std::vector<double> bareRuns, editorRuns;
    for (int i = 0; i < 7; ++i) {
        bareRuns.push_back(runMs(bare, {}));
        editorRuns.push_back(runMs(editor, {}));
    }
    std::sort(bareRuns.begin(), bareRuns.end());
    std::sort(editorRuns.begin(), editorRuns.end());
    const double bareMs = bareRuns[bareRuns.size() / 2];
    const double editorMs = editorRuns[editorRuns.size() / 2];
    qunsetenv("ORVIK_QUIT_WHEN_IDLE");
    Report("startup", "bare QMainWindow process: start to shown and idle", bareMs, "ms");
    Report("startup", "OrvikEditor process: start to shown and idle", editorMs, "ms");
    ReportRatio("startup", "editor start-up / bare window", editorMs / bareMs, "(goal < 1.5)");
}
