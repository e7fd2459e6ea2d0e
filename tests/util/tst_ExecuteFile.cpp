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
        const QStringList none;
        QTest::newRow("shell characters, long paths")
            << "RECORDER"
            << QStringList({"two words", "it's \"quoted\"", "a; touch pwned", "back\\slash",
                            "$(touch pwned)", "`touch pwned`", "", QString(300, 'f')})
            << QStringList(5, QString(60, 'd')).join('/') + "/a dir; with 'quotes'"
            << "ran";
        QTest::newRow("program in the given directory") << "orvik-recorder" << none << "in"
                                                        << "ran";
        QTest::newRow("program on the PATH, in the current directory")
            << "orvik-recorder"
            << QStringList("https://orvik.example/?a;b \"q\" 'r' & echo > pwned") << ""
            << "ran";
        QTest::newRow("document in the given directory") << "OstraEditor.html" << none << "docs"
                                                         << "docs/OstraEditor.html";
        QTest::newRow("address to the browser")
            << DefaultWebBrowser << QStringList("https://orvik.example/a b") << ""
            << "https://orvik.example/a%20b";
        QTest::newRow("address as the file name") << "https://www.orvik.example/help" << none << ""
                                                  << "https://www.orvik.example/help";
        QTest::newRow("no such program") << "orvik-no-such-program" << none << ""
                                         << "";
        QTest::newRow("empty name") << "" << none << ""
                                    << "";
        QTest::newRow("working directory missing") << "RECORDER" << none << "/nonexistent"
                                                   << "";
        QTest::newRow("browser without an address") << DefaultWebBrowser << none << ""
                                                    << "";
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
