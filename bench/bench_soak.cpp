#include "BenchSupport.h"
#include "Soak.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

// The long soak: many seeds, each a fresh window; every seed that fails is named with its step.
// ORVIK_SOAK_STEPS sets the total (100000 by default).
void BenchSoak()
{
    const int total = qEnvironmentVariableIntValue("ORVIK_SOAK_STEPS") > 0
                          ? qEnvironmentVariableIntValue("ORVIK_SOAK_STEPS")
                          : 100000;
    const int perSeed = 5000;
    int run = 0, failed = 0;
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        qputenv("TMPDIR", "/dev/shm"); // saves flush to disk; in memory the editor sets the pace
    QElapsedTimer clock;
    clock.start();
    for (quint32 seed = 1000; run < total; ++seed) {
        const QString fault = Soak(seed, 400).run(perSeed);
        run += perSeed;
        if (!fault.isEmpty()) {
            ++failed;
            std::printf("soak       seed %u fails at %s\n", seed, qPrintable(fault));
        }
    }
    Report("soak", "steps run", run, "steps");
    Report("soak", "time", clock.elapsed() / 1000.0, "s");
    Report("soak", "seeds that failed", failed, "seeds");
}

// The fuzz target of the text model for a fixed time, where clang built it (./make.sh bench).
// ORVIK_FUZZ_SECONDS sets the time (60 by default).
void BenchFuzz()
{
    const QString binary = QStringLiteral(ORVIK_FUZZ_BINARY);
    if (!QFile::exists(binary)) {
        std::printf("fuzz       not built: no clang\n");
        return;
    }
    const int seconds = qEnvironmentVariableIntValue("ORVIK_FUZZ_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("ORVIK_FUZZ_SECONDS")
                            : 60;
    QTemporaryDir corpus;
    QProcess fuzz;
    fuzz.setProcessChannelMode(QProcess::MergedChannels);
    fuzz.setWorkingDirectory(corpus.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Each input is saved and synced; in memory the text model sets the pace.
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/dev/shm"));
    fuzz.setProcessEnvironment(env);
    // What the toolkit keeps until exit is no leak of the text model.
    fuzz.start(binary, {QStringLiteral("-max_total_time=%1").arg(seconds),
                        QStringLiteral("-max_len=4096"), QStringLiteral("-detect_leaks=0"),
                        QStringLiteral("-dict=" ORVIK_FUZZ_DICTIONARY), corpus.path()});
    fuzz.waitForFinished(seconds * 1000 + 120000);
    const QString log = QString::fromLocal8Bit(fuzz.readAll());
    const QRegularExpressionMatch done =
        QRegularExpression(QStringLiteral("Done (\\d+) runs in (\\d+) second")).match(log);
    Report("fuzz", "executions", done.hasMatch() ? done.captured(1).toDouble() : 0, "runs");
    Report("fuzz", "time", done.hasMatch() ? done.captured(2).toDouble() : 0, "s");
    const bool clean = fuzz.exitStatus() == QProcess::NormalExit && fuzz.exitCode() == 0;
    Report("fuzz", "faults found", clean ? 0 : 1, "");
    if (!clean)
        std::printf("%s\n", qPrintable(log.right(4000)));
}
