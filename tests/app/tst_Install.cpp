#include "host/BrowserEngine.h"

#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QLibrary>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The installed tree, moved away from where it was installed, still runs: the program finds its
// engine and help relative to itself, never through a path of the build.
class tst_Install : public QObject
{
    Q_OBJECT
private slots:
    void installedTreeRunsFromAnyPrefix()
    {
        QTemporaryDir root;
        const QString prefix = root.filePath("first");
        QProcess install;
        install.start(QStringLiteral(ORVIK_CMAKE),
                      {"--install", ORVIK_BUILD_DIR, "--prefix", prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        const QString moved = root.filePath("second");
        QVERIFY(QDir().rename(prefix, moved));
        QStringList tree;
        QDirIterator files(moved, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            tree << files.next().mid(moved.size() + 1);
        tree.sort();
        QCOMPARE(tree,
                 QStringList({"bin/OrvikEditor", ORVIK_ENGINE_INSTALL_DIR "/liborvik_engine.so",
                              "share/applications/orvik-pagloom.desktop",
                              "share/icons/hicolor/128x128/apps/orvik-pagloom.png",
                              "share/icons/hicolor/48x48/apps/orvik-pagloom.png",
                              "share/icons/hicolor/scalable/apps/orvik-pagloom.svg",
                              "share/orvik-pagloom/OstraEditor.html",
                              "share/orvik-pagloom/help-editor.png"}));
        for (const int size : {48, 128})
            QCOMPARE(
                QImageReader(QStringLiteral("%1/share/icons/hicolor/%2x%2/apps/orvik-pagloom.png")
                                 .arg(moved)
                                 .arg(size))
                    .size(),
                QSize(size, size));
        QProcess validate;
        validate.start("desktop-file-validate",
                       {moved + "/share/applications/orvik-pagloom.desktop"});
        QVERIFY2(validate.waitForFinished(60000),
                 "desktop-file-validate (desktop-file-utils) is missing");
        QCOMPARE(validate.exitCode(), 0);
        QCOMPARE(validate.readAll(), QByteArray());

        const QString bin = moved + "/" ORVIK_BIN_DIR;
        const QString engineDir = QDir::cleanPath(bin + "/" ORVIK_ENGINE_RELATIVE_DIR);
        QLibrary engine(engineDir + "/orvik_engine");
        QVERIFY2(engine.load(), qPrintable(engine.errorString()));
        QVERIFY(engine.resolve(kCreateBrowserEngineSymbol));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", root.filePath("config"));
        env.insert("XDG_CACHE_HOME", root.filePath("cache"));
        // The version is printed with no display at all: no window is made for it.
        QProcessEnvironment headless = env;
        headless.remove("DISPLAY");
        headless.remove("WAYLAND_DISPLAY");
        headless.insert("QT_QPA_PLATFORM", "xcb");
        QProcess version;
        version.setProcessEnvironment(headless);
        version.start(bin + "/OrvikEditor", {"--version"});
        QVERIFY(version.waitForFinished(60000));
        QCOMPARE(version.exitCode(), 0);
        QCOMPARE(version.readAll(), QByteArray("Orvik Pagloom 2.0\n"));

        // The program itself starts from there and reaches an idle, shown window.
        QProcess editor;
        env.insert("ORVIK_QUIT_WHEN_IDLE", "1");
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(root.path());
        editor.start(bin + "/OrvikEditor", {});
        QVERIFY(editor.waitForFinished(60000));
        QCOMPARE(editor.exitCode(), 0);
        QVERIFY(editor.readAllStandardOutput().startsWith("idle "));
    }
};

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_Install.moc"
