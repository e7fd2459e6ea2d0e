#include "TestEnvironment.h"
#include "UrlRecorder.h"

#include "util/FmxUtils.h"

#include <QDir>
#include <QFile>
#include <QUrl>

class tst_ExecuteFile : public QObject
{
    Q_OBJECT

private slots:
    // A program gets each parameter whole, never through a shell, and however long. Documents
    // and addresses go to the desktop. A launch that cannot happen returns false, opens nothing.
    void launches_data()
    {
        QTest::addColumn<QString>("name"); // RECORDER: the recorder's full path
        QTest::addColumn<QStringList>("params");
        QTest::addColumn<QString>("dir"); // relative: under the working directory; empty: none
        QTest::addColumn<QString>("outcome"); // "ran", what the desktop opened, or empty: fails
        const auto row = [](const char *name, const QString &program, const QStringList &params,
                            const QString &dir, const char *outcome) {
            QTest::newRow(name) << program << params << dir << outcome;
        };
        row("shell characters, long paths", "RECORDER",
            {"two words", "it's \"quoted\"", "a; touch pwned", "back\\slash", "$(touch pwned)",
             "`touch pwned`", "", QString(300, 'f')},
            QStringList(5, QString(60, 'd')).join('/') + "/a dir; with 'quotes'", "ran");
        row("program in the given directory", "orvik-recorder", {}, "in", "ran");
        row("program on the PATH, in the current directory", "orvik-recorder",
            {"https://orvik.example/?a;b \"q\" 'r' & echo > pwned"}, "", "ran");
        row("document in the given directory", "OstraEditor.html", {}, "docs",
            "docs/OstraEditor.html");
        row("address to the browser", DefaultWebBrowser, {"https://orvik.example/a b"}, "",
            "https://orvik.example/a%20b");
        row("address as the file name", "https://www.orvik.example/help", {}, "",
            "https://www.orvik.example/help");
        row("no such program", "orvik-no-such-program", {}, "", "");
        row("empty name", "", {}, "", "");
        row("working directory missing", "RECORDER", {}, "/nonexistent", "");
        row("browser without an address", DefaultWebBrowser, {}, "", "");
    }
    void launches()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, params);
        QFETCH(QString, dir);
        QFETCH(QString, outcome);
        TestEnvironment env;
        UrlRecorder desktop;
        env.writeFile("docs/OstraEditor.html", "<p>help</p>");
        // A real program: a shell script that writes its working directory and its arguments,
        // NUL-separated, into <script>.record once it has run.
        const QString script = env.writeFile(
            (dir.isEmpty() || dir.startsWith('/') ? "bin" : dir) + "/orvik-recorder",
            "#!/bin/sh\nprintf '%s\\0' \"$(pwd -P)\" \"$@\" > \"$0.part\""
            " && mv \"$0.part\" \"$0.record\"\n");
        QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);
        const QString given = dir.isEmpty() ? dir : QDir(env.workDir()).filePath(dir);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(env.workDir() + "/bin") + ":" + oldPath);
        const QString program = name == "RECORDER" ? script : name;
        // One parameter goes through the single-string form, as the callers pass it.
        const bool started = params.size() == 1 ? ExecuteFile(program, params[0], given, 1)
                                                : ExecuteFile(program, params, given, 1);
        qputenv("PATH", oldPath);
        QCOMPARE(started, !outcome.isEmpty());
        const QUrl opened = QUrl::fromUserInput(outcome, env.workDir());
        QCOMPARE(desktop.urls, started && outcome != "ran" ? QList<QUrl>({opened}) : QList<QUrl>());
        if (outcome != "ran")
            return;
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(script + ".record"), 20000);
        const QString record = QFile::decodeName(ReadWholeFile(script + ".record").chopped(1));
        QCOMPARE(record.split(QChar(0)), QStringList(QDir(given).canonicalPath()) + params);
        QVERIFY(!QDir(given).exists("pwned"));
    }
};

ORVIK_TEST_MAIN(tst_ExecuteFile)
#include "tst_ExecuteFile.moc"
