#include "TestEnvironment.h"
#include "UrlRecorder.h"

#include "util/FmxUtils.h"

#include <QDir>
#include <QFile>
#include <QUrl>

// A real program: a shell script that writes its working directory and its arguments,
// NUL-separated, into a record file once it has run.
struct Recorder
{
    QString script;
    QString record;

    Recorder(const QString &dir, const QString &name, const QString &recordFile)
        : script(dir + QLatin1Char('/') + name), record(recordFile)
    {
        QDir().mkpath(dir);
        QFile f(script);
        const QByteArray text = "#!/bin/sh\nprintf '%s\\0' \"$(pwd -P)\" \"$@\" > '"
                                + QFile::encodeName(record) + ".part' && mv '"
                                + QFile::encodeName(record) + ".part' '" + QFile::encodeName(record)
                                + "'\n";
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(script));
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }

    // The working directory first, then the arguments; empty until the script has run.
    QStringList received() const
    {
        if (!QFile::exists(record))
            return {};
        QList<QByteArray> parts = ReadWholeFile(record).split('\0');
        parts.removeLast();
        QStringList result;
        for (const QByteArray &part : parts)
            result << QFile::decodeName(part);
        return result;
    }
};

class tst_ExecuteFile : public QObject
{
    Q_OBJECT

    static QString canonical(const QString &dir) { return QDir(dir).canonicalPath(); }

private slots:
    void programGetsEachArgumentWhole_data()
    {
        QTest::addColumn<QStringList>("params");
        QTest::newRow("spaces, quotes, semicolons")
            << QStringList({"two words", "it's \"quoted\"", "a; touch pwned", "$(touch pwned2)",
                            "`touch pwned3`", "back\\slash", ""});
        QTest::newRow("no arguments") << QStringList();
    }
    void programGetsEachArgumentWhole()
    {
        QFETCH(QStringList, params);
        TestEnvironment env;
        const QString dir = env.root() + "/a dir; with 'quotes'";
        Recorder program(dir, "record.sh", env.root() + "/record");
        QVERIFY(ExecuteFile(program.script, params, dir, 1));
        QTRY_VERIFY_WITH_TIMEOUT(!program.received().isEmpty(), 20000);
        QCOMPARE(program.received(), QStringList(canonical(dir)) + params);
        // No shell ever saw the arguments.
        for (const QString &name : {"pwned", "pwned2", "pwned3"}) {
            QVERIFY(!QFile::exists(dir + "/" + name));
            QVERIFY(!QFile::exists(env.workDir() + "/" + name));
        }
    }

    void relativeNameIsLookedForInTheGivenDirectory()
    {
        TestEnvironment env;
        const QString dir = env.root() + "/elsewhere";
        Recorder program(dir, "record.sh", env.root() + "/record");
        QVERIFY(QDir::currentPath() != QDir(dir).absolutePath());
        QVERIFY(ExecuteFile("record.sh", QString(), dir, 1));
        QTRY_VERIFY_WITH_TIMEOUT(!program.received().isEmpty(), 20000);
        QCOMPARE(program.received(), QStringList(canonical(dir)));
    }

    void programOnThePath()
    {
        TestEnvironment env;
        Recorder program(env.root() + "/bin", "orvik-recorder", env.root() + "/record");
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(env.root() + "/bin") + ":" + oldPath);
        // One parameter string is one argument, however it looks to a shell.
        const QString address = "https://www.orvik.example/?a=1;b=2 \"q\" 'r' & echo x";
        const bool started = ExecuteFile("orvik-recorder", address, QString(), 1);
        qputenv("PATH", oldPath);
        QVERIFY(started);
        QTRY_VERIFY_WITH_TIMEOUT(!program.received().isEmpty(), 20000);
        // Without a directory the program runs in the current one.
        QCOMPARE(program.received(), QStringList({canonical(env.workDir()), address}));
    }

    void longPathsArePassedWhole()
    {
        TestEnvironment env;
        QString dir = env.root();
        while (dir.size() < 300)
            dir += "/" + QString(60, QLatin1Char('d'));
        QVERIFY(dir.size() >= 300);
        Recorder program(dir, "record.sh", env.root() + "/record");
        const QString longArgument = dir + "/" + QString(200, QLatin1Char('f')) + ".htm";
        QVERIFY(ExecuteFile(program.script, longArgument, dir, 1));
        QTRY_VERIFY_WITH_TIMEOUT(!program.received().isEmpty(), 20000);
        QCOMPARE(program.received(), QStringList({canonical(dir), longArgument}));
    }

    void failuresReturnFalse_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("dir");
        QTest::newRow("no such program") << "orvik-no-such-program" << "";
        QTest::newRow("no such file") << "missing/OstraEditor.html" << "";
        QTest::newRow("empty name") << "" << "";
        QTest::newRow("working directory missing") << "RECORDER" << "/nonexistent-orvik-dir";
        QTest::newRow("working directory is a file") << "RECORDER" << "FILE";
        QTest::newRow("browser without an address") << DefaultWebBrowser << "";
    }
    void failuresReturnFalse()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, dir);
        TestEnvironment env;
        UrlRecorder desktop;
        Recorder program(env.root() + "/bin", "record.sh", env.root() + "/record");
        if (fileName == "RECORDER")
            fileName = program.script;
        if (dir == "FILE")
            dir = env.writeFile("plain.txt", "x");
        QVERIFY(!ExecuteFile(fileName, QString(), dir, 1));
        QVERIFY(desktop.urls.isEmpty());
    }

    void documentsAndAddressesGoToTheDesktop_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("params");
        QTest::addColumn<QUrl>("opened"); // relative: a file in the given directory
        QTest::newRow("document in the given directory")
            << "OstraEditor.html" << "" << QUrl("OstraEditor.html");
        QTest::newRow("web address to the browser")
            << DefaultWebBrowser << "www.orvik.example" << QUrl("http://www.orvik.example");
        QTest::newRow("full address to the browser")
            << DefaultWebBrowser << "https://www.orvik.example/a b" << QUrl("https://www.orvik.example/a%20b");
        QTest::newRow("e-mail to the browser")
            << DefaultWebBrowser << "mailto:pagloom@orvik.example" << QUrl("mailto:pagloom@orvik.example");
        QTest::newRow("address as the file name")
            << "https://www.orvik.example/help" << "" << QUrl("https://www.orvik.example/help");
    }
    void documentsAndAddressesGoToTheDesktop()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, params);
        QFETCH(QUrl, opened);
        TestEnvironment env;
        UrlRecorder desktop;
        const QString dir = env.root() + "/docs";
        QDir().mkpath(dir);
        QFile::copy(env.writeFile("x.html", "<p>help</p>"), dir + "/OstraEditor.html");
        if (opened.isRelative())
            opened = QUrl::fromLocalFile(dir + "/" + opened.path());
        QVERIFY(ExecuteFile(fileName, params, dir, 1));
        QCOMPARE(desktop.urls, QList<QUrl>({opened}));
    }
};

ORVIK_TEST_MAIN(tst_ExecuteFile)
#include "tst_ExecuteFile.moc"
