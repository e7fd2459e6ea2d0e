#include "host/BrowserEngine.h"

#include <QDir>
#include <QFileInfo>
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
        install.start(QStringLiteral(ORVIK_CMAKE), {"--install", ORVIK_BUILD_DIR, "--prefix", prefix});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        const QString moved = root.filePath("second");
        QVERIFY(QDir().rename(prefix, moved));
        const QString bin = moved + "/" ORVIK_BIN_DIR;
        const QString engineDir = QDir::cleanPath(bin + "/" ORVIK_ENGINE_RELATIVE_DIR);
        const QString helpDir = QDir::cleanPath(bin + "/" ORVIK_HELP_RELATIVE_DIR);
        for (const QString &file : {bin + "/OrvikEditor", helpDir + "/OstraEditor.html",
                                    helpDir + "/help-editor.png"})
            QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));

        QLibrary engine(engineDir + "/orvik_engine");
        QVERIFY2(engine.load(), qPrintable(engine.errorString()));
        QVERIFY(engine.resolve(kCreateBrowserEngineSymbol));

        // The program itself starts from there and reaches an idle, shown window.
        QProcess editor;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORVIK_QUIT_WHEN_IDLE", "1");
        env.insert("XDG_CONFIG_HOME", root.filePath("config"));
        env.insert("XDG_CACHE_HOME", root.filePath("cache"));
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
