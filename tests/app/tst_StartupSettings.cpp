#include "TestEnvironment.h"

#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "ScriptedDialogs.h"
#include "WindowControls.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

// Scripted answers, with something to do at the moment each question is asked.
struct HookedDialogs : ScriptedDialogs
{
    std::function<void()> onQuestion;

    ModalResult messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpContext = 0) override
    {
        onQuestion();
        return ScriptedDialogs::messageDlg(text, type, buttons, helpContext);
    }
};

static void writeSettings(const TestEnvironment &env, const QByteArray &bytes)
{
    env.writeFile(QDir(env.workDir()).relativeFilePath(env.settingsFile()), bytes);
}

static QJsonObject storedValues(const TestEnvironment &env)
{
    return QJsonDocument::fromJson(ReadWholeFile(env.settingsFile())).object();
}

// The font and word wrap the window shows, as one line: "Arial 10 bold italic wrap".
static QString shownSettings(const TfrmEditor &form)
{
    const EditorFont f = Control<EditSurface>(form).font();
    return QStringLiteral("%1 %2%3%4%5")
        .arg(f.name)
        .arg(f.size)
        .arg(f.bold ? " bold" : "", f.italic ? " italic" : "",
             Control<QAction>(form, "itm_wordwrap").isChecked() ? " wrap" : "");
}

class tst_StartupSettings : public QObject
{
    Q_OBJECT

private slots:
    // Font, word wrap and file panel as start-up sets them from the settings and the argument.
    void startupShowsStoredSettingsAndPlacesThePanel_data()
    {
        QTest::addColumn<QString>("settings"); // empty: no file; "~": the test's root directory
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("directory");
        const auto row = [](const char *name, const char *settings, const char *argument,
                            const char *shown, const char *directory) {
            QTest::newRow(name) << settings << argument << shown << directory;
        };
        const char *plain = "MS Sans Serif 10";
        row("first run", "", "", plain, "~/work");
        row("every value, argument's directory missing",
            R"({"Bold":1,"Italic":1,"FontName":"Courier New","FontSize":14,"WordWrap":1,)"
            R"("StartDirectory":"~/cache"})",
            "~/no/a.htm", "Courier New 14 bold italic wrap", "~/cache");
        row("wrong types",
            R"({"FontSize":"12","FontName":12,"WordWrap":"1","Bold":true,"Italic":1.5,)"
            R"("StartDirectory":5})",
            "", "Arial 10", "/");
        row("only 1 is true, an empty name is none", R"({"Bold":2,"WordWrap":2,"FontName":""})", "",
            plain, "~/work");
        // Sizes outside 4 to 400 points count as missing.
        row("huge font size", R"({"FontSize":2147483647})", "", plain, "~/work");
        row("negative font size", R"({"FontSize":-5})", "", plain, "~/work");
        row("smallest font size", R"({"FontSize":4})", "", "MS Sans Serif 4", "~/work");
        row("malformed file", R"({"WordWrap":1)", "", plain, "~/work");
        row("argument relative, through .", R"({"StartDirectory":"~/cache"})", "./site/./index.htm",
            plain, "~/work/site");
    }
    void startupShowsStoredSettingsAndPlacesThePanel()
    {
        QFETCH(QString, settings);
        QFETCH(QString, argument);
        QFETCH(QString, shown);
        QFETCH(QString, directory);
        TestEnvironment env;
        const auto expand = [&](QString p) { return p.replace(QLatin1Char('~'), env.root()); };
        env.writeFile("site/index.htm", "<p>index</p>\r\n");
        const QByteArray file = expand(settings).toUtf8();
        if (!file.isEmpty())
            writeSettings(env, file);
        const QFileInfo given(expand(argument)); // a relative one from where the program starts
        // Shown in full when the panel has moved away from where the program started.
        const QString opened = given.isFile() ? QDir::cleanPath(given.absoluteFilePath())
                                              : QString();
        ScriptedDialogs dialogs;
        if (!argument.isEmpty() && opened.isEmpty())
            dialogs.expectError("Cannot open file " + given.filePath());
        TfrmEditor form(dialogs, argument.isEmpty()
                                     ? QStringList {"OrvikEditor"}
                                     : QStringList {"OrvikEditor", given.filePath()});
        QCOMPARE(shownSettings(form), shown);
        QCOMPARE(Control<EditSurface>(form).wordWrap(),
                 Control<QAction>(form, "itm_wordwrap").isChecked());
        // Start-up creates the key on a first run, and only reads a bad file.
        QCOMPARE(ReadWholeFile(env.settingsFile()), file.isEmpty() ? "{\n}\n" : file);
        QCOMPARE(Control<TFileListBox>(form).Directory(), expand(directory));
        QVERIFY(form.DocumentList->Items(0)->Saved); // applying the settings is no change
        QCOMPARE(form.windowTitle(),
                 opened.isEmpty() ? "Ostra Pagloom" : "Ostra Pagloom - " + opened);
        ANSWERED(dialogs);
    }

    void closingTheFrameWritesTwiceExitOnce_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::addColumn<bool>("storable");
        QTest::newRow("close box") << true << true;
        QTest::newRow("Exit") << false << true;
        QTest::newRow("settings cannot be stored") << true << false;
    }
    void closingTheFrameWritesTwiceExitOnce()
    {
        QFETCH(bool, byFrame);
        QFETCH(bool, storable);
        TestEnvironment env;
        if (!storable) // failures stay silent: no error, and the window still closes
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.writeFile("file", "x") + "/config"));
        const QJsonObject other {{"StartDirectory", "elsewhere"}, {"WordWrap", 7}, {"Bold", 1}};
        HookedDialogs dialogs;
        QJsonObject atQuestion;
        dialogs.onQuestion = [&] {
            atQuestion = storedValues(env);
            // Another copy writes meanwhile; only the values written later may replace these.
            writeSettings(env, QJsonDocument(other).toJson());
        };
        dialogs.expectQuestion("has changed", mrNo);
        TfrmEditor form(dialogs, {"OrvikEditor"});
        form.show();
        Control<TDirectoryListBox>(form, "DIRList").setDirectory(env.cacheDir());
        Control<QAction>(form, "itm_wordwrap").setChecked(true);
        Control<EditSurface>(form).setLinesText("changed\r\n");
        byFrame ? (void)form.close() : Choose(form, "itmExit");
        QVERIFY(!form.isVisible());
        ANSWERED(dialogs);
        // The close box writes before save-all asks, and again after; Exit writes only after.
        QJsonObject written {{"StartDirectory", env.cacheDir()}, {"WordWrap", 1}};
        QCOMPARE(atQuestion, byFrame && storable ? written : QJsonObject());
        written.insert("Bold", 1);
        QCOMPARE(storedValues(env), storable ? written : other);
    }
};

ORVIK_TEST_MAIN(tst_StartupSettings)
#include "tst_StartupSettings.moc"
