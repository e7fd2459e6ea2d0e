#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <algorithm>
#include <vector>

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

// Start-up of the editor to a shown, idle main window, against a bare main window, and against
// a bare main window with one menu caption, which pays for starting the font system.
void BenchStartup()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString bare = dir + QStringLiteral("/bare_window");
    const QString editor = dir + QStringLiteral("/OrvikEditor");
    const QStringList withText{QStringLiteral("--text")};
    qputenv("ORVIK_QUIT_WHEN_IDLE", "1");
    runMs(bare, {});
    runMs(editor, {}); // warm the file cache for both
    std::vector<double> bareRuns, textRuns, editorRuns;
    for (int i = 0; i < 9; ++i) {
        bareRuns.push_back(runMs(bare, {}));
        textRuns.push_back(runMs(bare, withText));
        editorRuns.push_back(runMs(editor, {}));
    }
    qunsetenv("ORVIK_QUIT_WHEN_IDLE");
    const double bareMs = Median(bareRuns);
    const double textMs = Median(textRuns);
    const double editorMs = Median(editorRuns);
    Report("startup", "bare QMainWindow process: start to shown and idle", bareMs, "ms");
    Report("startup", "QMainWindow with one menu caption: start to shown and idle", textMs, "ms");
    Report("startup", "OrvikEditor process: start to shown and idle", editorMs, "ms");
    ReportRatio("startup", "editor start-up / bare window", editorMs / bareMs, "(goal < 1.5)");
    ReportRatio("startup", "window with one caption / bare window", textMs / bareMs, "");
    ReportRatio("startup", "editor start-up / window with one caption", editorMs / textMs, "");
}
