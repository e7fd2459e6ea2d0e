#include "TestEnvironment.h"
#include "UrlRecorder.h"

#include "util/FmxUtils.h"

#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

// A real program: a shell script that writes its working directory and its arguments,
// NUL-separated, into <script>.record once it has run.
QString writeRecorder(const TestEnvironment &env, const QString &relativePath)
{
    const QString path = env.writeFile(relativePath, "#!/bin/sh\nprintf '%s\\0' \"$(pwd -P)\" \"$@\""
                                                     " > \"$0.part\" && mv \"$0.part\" \"$0.record\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

} // namespace

class tst_ExecuteFile : public QObject
{
    Q_OBJECT

private slots:
    // Each parameter reaches the program whole, never through a shell, and however long.
    void programGetsEachArgumentWhole_data()
    {
        QTest::addColumn<bool>("byFullPath");
        QTest::addColumn<QString>("dir"); // under the working directory; empty: none given
        QTest::addColumn<QStringList>("params");
        const QString longDir = QStringList(5, QString(60, 'd')).join('/');
        QTest::newRow("shell characters") << true << "a dir; with 'quotes'"
            << QStringList({"two words", "it's \"quoted\"", "a; touch pwned", "$(touch pwned)",
                            "`touch pwned`", "back\\slash", ""});
        QTest::newRow("relative name in the given directory") << false << "elsewhere" << QStringList();
        QTest::newRow("on the PATH, in the current directory")
            << false << "" << QStringList("https://www.orvik.example/?a=1;b=2 \"q\" 'r' & echo x > pwned");
        QTest::newRow("long paths")
            << true << longDir << QStringList(longDir + "/" + QString(200, 'f') + ".htm");
    }
    void programGetsEachArgumentWhole()
    {
        QFETCH(bool, byFullPath);
        QFETCH(QString, dir);
        QFETCH(QStringList, params);
        TestEnvironment env;
        const QString script = writeRecorder(env, (dir.isEmpty() ? "bin" : dir) + "/orvik-recorder");
        const QString runDir = env.workDir() + "/" + dir;
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(env.workDir() + "/bin") + ":" + oldPath);
        const QString name = byFullPath ? script : "orvik-recorder";
        const QString given = dir.isEmpty() ? QString() : runDir;
        // One parameter goes through the single-string form, as the callers pass it.
        const bool started = params.size() == 1 ? ExecuteFile(name, params[0], given, 1)
                                                : ExecuteFile(name, params, given, 1);
        qputenv("PATH", oldPath);
        QVERIFY(started);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(script + ".record"), 20000);
        QStringList received;
        for (const QByteArray &part : ReadWholeFile(script + ".record").chopped(1).split('\0'))
            received << QFile::decodeName(part);
        QCOMPARE(received, QStringList(QDir(runDir).canonicalPath()) + params);
        QVERIFY(!QFile::exists(runDir + "/pwned"));
    }

    // Documents and addresses go to the desktop. A launch that cannot happen returns false,
    // opens nothing and shows no message.
    void opensOnTheDesktopOrFails_data()
    {
        QTest::addColumn<QString>("fileName"); // RECORDER: a program
        QTest::addColumn<QString>("params");
        QTest::addColumn<QString>("dir"); // DOCS: holds OstraEditor.html; FILE: a plain file
        QTest::addColumn<QUrl>("opened"); // relative: a file in DOCS; empty: must fail
        QTest::newRow("document in the given directory")
            << "OstraEditor.html" << "" << "DOCS" << QUrl("OstraEditor.html");
        QTest::newRow("address to the browser")
            << DefaultWebBrowser << "https://www.orvik.example/a b" << ""
            << QUrl("https://www.orvik.example/a%20b");
        QTest::newRow("address as the file name")
            << "https://www.orvik.example/help" << "" << "" << QUrl("https://www.orvik.example/help");
        QTest::newRow("no such program") << "orvik-no-such-program" << "" << "" << QUrl();
        QTest::newRow("no such file") << "missing/OstraEditor.html" << "" << "" << QUrl();
        QTest::newRow("empty name") << "" << "" << "" << QUrl();
        QTest::newRow("working directory missing") << "RECORDER" << "" << "/nonexistent-orvik-dir" << QUrl();
        QTest::newRow("working directory is a file") << "RECORDER" << "" << "FILE" << QUrl();
        QTest::newRow("browser without an address") << DefaultWebBrowser << "" << "" << QUrl();
    }
    void opensOnTheDesktopOrFails()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, params);
        QFETCH(QString, dir);
        QFETCH(QUrl, opened);
        TestEnvironment env;
        UrlRecorder desktop;
        const QString docs = QFileInfo(env.writeFile("docs/OstraEditor.html", "<p>help</p>")).path();
        if (fileName == "RECORDER")
            fileName = writeRecorder(env, "bin/record.sh");
        dir = dir == "DOCS" ? docs : dir == "FILE" ? env.writeFile("plain.txt", "x") : dir;
        if (opened.isRelative() && !opened.isEmpty())
            opened = QUrl::fromLocalFile(docs + "/" + opened.path());
        QCOMPARE(ExecuteFile(fileName, params, dir, 1), !opened.isEmpty());
        QCOMPARE(desktop.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>({opened}));
    }
};

ORVIK_TEST_MAIN(tst_ExecuteFile)
#include "tst_ExecuteFile.moc"
