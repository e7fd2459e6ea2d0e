#include "BenchSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

namespace {

// Wall time of a whole process run: start, window shown, idle, exit.
double runMs(const QString &program, const QStringList &args)
{
    return TimeMs([&] {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            qFatal("%s did not run", qPrintable(program));
    });
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
    Report("startup", "bare QMainWindow process: start, shown, idle, exit", bareMs, "ms");
    Report("startup", "OrvikEditor process: start, shown, idle, exit", editorMs, "ms");
    ReportRatio("startup", "editor start-up / bare window", editorMs / bareMs, "(goal < 1.5)");
}
