#include "TestEnvironment.h"

#include "forms/fmEditor.h"
#include "host/EditSurface.h"
#include "host/FilePanel.h"
#include "host/MenuItem.h"
#include "ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Scripted answers, with something to do at the moment each question is asked.
class HookedDialogs : public ScriptedDialogs
{
public:
    std::function<void()> onQuestion;

    ModalResult messageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpContext = 0) override
    {
        if (onQuestion)
            onQuestion();
        return ScriptedDialogs::messageDlg(text, type, buttons, helpContext);
    }
};

void writeSettings(const TestEnvironment &env, const QByteArray &bytes)
{
    QDir().mkpath(env.configDir() + QStringLiteral("/Orvik"));
    QFile f(env.settingsFile());
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write the settings file");
}

QJsonObject storedValues(const TestEnvironment &env)
{
    return QJsonDocument::fromJson(ReadWholeFile(env.settingsFile())).object();
}

} // namespace

class tst_StartupSettings : public QObject
{
    Q_OBJECT

private slots:
    void storedSettingsAtStartup_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<QString>("fontName");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("wordWrap");
        QTest::newRow("first run") << QByteArray() << "MS Sans Serif" << 10 << false << false << false;
        QTest::newRow("every value")
            << QByteArray(R"({"Bold":1,"Italic":1,"FontName":"Courier New","FontSize":14,"WordWrap":1})")
            << "Courier New" << 14 << true << true << true;
        QTest::newRow("wrong types")
            << QByteArray(R"({"FontSize":"12","FontName":12,"WordWrap":"1","Bold":true,"Italic":1.5})")
            << "Arial" << 10 << false << false << false;
        QTest::newRow("word wrap 2 is off") << QByteArray(R"({"WordWrap":2})") << "MS Sans Serif" << 10
                                            << false << false << false;
        QTest::newRow("bold with italic 2") << QByteArray(R"({"Bold":1,"Italic":2})") << "MS Sans Serif"
                                            << 10 << true << false << false;
        QTest::newRow("italic only") << QByteArray(R"({"Italic":1})") << "MS Sans Serif" << 10 << false
                                     << true << false;
        QTest::newRow("empty font name") << QByteArray(R"({"FontName":"","FontSize":9})")
                                         << "MS Sans Serif" << 9 << false << false << false;
        QTest::newRow("malformed file") << QByteArray("{\"WordWrap\":1") << "MS Sans Serif" << 10
                                        << false << false << false;
    }
    void storedSettingsAtStartup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, fontName);
        QFETCH(int, fontSize);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        QFETCH(bool, wordWrap);
        TestEnvironment env;
        if (!file.isEmpty())
            writeSettings(env, file);
        const bool malformed = QJsonDocument::fromJson(file).isNull() && !file.isEmpty();
        ScriptedDialogs dialogs;
        {
            TfrmEditor form(dialogs, {"OrvikEditor"});
            const EditorFont font = form.mmoEditor->font();
            QCOMPARE(font.name, fontName);
            QCOMPARE(font.size, fontSize);
            QCOMPARE(font.bold, bold);
            QCOMPARE(font.italic, italic);
            QCOMPARE(form.itm_wordwrap->Checked(), wordWrap);
            QCOMPARE(form.mmoEditor->wordWrap(), wordWrap);
            // Applying the settings did not mark the template as changed.
            QVERIFY(form.DocumentList->Items(0)->Saved);
            // Start-up creates the key on a first run, and only reads a bad file.
            QCOMPARE(ReadWholeFile(env.settingsFile()), file.isEmpty() ? QByteArray("{\n}\n") : file);
            form.close();
        }
        const QJsonObject values = storedValues(env);
        QCOMPARE(values.value("WordWrap").toInteger(-1), wordWrap ? 1 : 0);
        if (malformed)
            QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad"), file);
        if (malformed || file.isEmpty())
            QCOMPARE(values.keys(), QStringList({"StartDirectory", "WordWrap"}));
        QCOMPARE(values.value("StartDirectory").toString(), env.workDir());
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void panelPlacementFallsBack_data()
    {
        QTest::addColumn<QString>("argument");       // "~" stands for the working directory
        QTest::addColumn<QByteArray>("stored");      // the JSON value, empty when absent
        QTest::addColumn<QString>("directory");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("loadFails");
        QTest::newRow("nothing stored") << "" << QByteArray() << "~" << "" << false;
        QTest::newRow("stored directory") << "" << QByteArray("\"~/stored\"") << "~/stored" << "" << false;
        QTest::newRow("stored empty") << "" << QByteArray("\"\"") << "~" << "" << false;
        QTest::newRow("stored directory gone") << "" << QByteArray("\"~/gone\"") << "/" << "" << false;
        QTest::newRow("stored as a number") << "" << QByteArray("5") << "/" << "" << false;
        QTest::newRow("stored with a variable") << "" << QByteArray("\"$HOME\"") << "/" << "" << false;
        QTest::newRow("argument file") << "~/site/index.htm" << QByteArray("\"~/stored\"") << "~/site"
                                       << "index.htm" << false;
        QTest::newRow("argument relative") << "site/index.htm" << QByteArray() << "~/site"
                                           << "index.htm" << false;
        QTest::newRow("argument the mask hides") << "~/site/notes.txt" << QByteArray() << "~/site"
                                                 << "notes.txt" << false;
        QTest::newRow("argument in a missing directory")
            << "~/nowhere/a.htm" << QByteArray("\"~/stored\"") << "~/stored" << "" << true;
        QTest::newRow("argument and stored directory missing")
            << "~/nowhere/a.htm" << QByteArray("\"~/gone\"") << "/" << "" << true;
        // The failed attempt has already moved the panel to the file's directory.
        QTest::newRow("argument file missing, nothing stored")
            << "~/site/gone.htm" << QByteArray() << "~/site" << "" << true;
    }
    void panelPlacementFallsBack()
    {
        QFETCH(QString, argument);
        QFETCH(QByteArray, stored);
        QFETCH(QString, directory);
        QFETCH(QString, selected);
        QFETCH(bool, loadFails);
        TestEnvironment env;
        const auto expand = [&](QString p) { return p.replace(QLatin1Char('~'), env.workDir()); };
        env.writeFile("site/index.htm", "<p>index</p>\r\n");
        env.writeFile("site/notes.txt", "notes\r\n");
        QDir().mkpath(env.workDir() + "/stored");
        if (!stored.isEmpty())
            writeSettings(env, "{\"StartDirectory\": " + expand(QString::fromUtf8(stored)).toUtf8() + "}");

        ScriptedDialogs dialogs;
        if (loadFails)
            dialogs.expectError("Cannot open file");
        QStringList args{"OrvikEditor"};
        if (!argument.isEmpty())
            args << expand(argument);
        TfrmEditor form(dialogs, args);
        QCOMPARE(form.FileList->Directory(), expand(directory));
        QCOMPARE(form.DIRList->Directory(), expand(directory));
        QCOMPARE(QDir::currentPath(), expand(directory));
        QCOMPARE(form.FileList->FileName(),
                 selected.isEmpty() ? QString() : expand(directory) + "/" + selected);
        // Start-up went on to the end whatever the panel did; a relative argument was opened
        // from where the program started, not from where the panel moved.
        QCOMPARE(form.DocumentList->Count(), 1);
        if (!argument.isEmpty() && !loadFails)
            QCOMPARE(form.DocumentList->Items(0)->FullPath,
                     argument.startsWith('~') ? expand(argument) : env.workDir() + "/" + argument);
        QCOMPARE(form.BaseCaption, QStringLiteral("Ostra Pagloom"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }

    void closingTheFrameWritesTwiceExitOnce_data()
    {
        QTest::addColumn<bool>("byFrame");
        QTest::newRow("close box") << true;
        QTest::newRow("Exit") << false;
    }
    void closingTheFrameWritesTwiceExitOnce()
    {
        QFETCH(bool, byFrame);
        TestEnvironment env;
        QDir().mkpath(env.workDir() + "/browsed");
        HookedDialogs dialogs;
        QJsonObject atQuestion;
        dialogs.onQuestion = [&] {
            atQuestion = storedValues(env);
            // Another copy writes meanwhile; only the values written later may replace these.
            writeSettings(env, R"({"StartDirectory": "elsewhere", "WordWrap": 7, "Bold": 1})");
        };
        dialogs.expectQuestion("has changed", mrNo);
        {
            TfrmEditor form(dialogs, {"OrvikEditor"});
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.DIRList->setDirectory(env.workDir() + "/browsed");
            form.itm_wordwrap->setChecked(true);
            form.mmoEditor->setLinesText("changed\r\n");
            if (byFrame)
                form.close();
            else
                form.itmExit->Click();
            QVERIFY(!form.isVisible());
        }
        // The close box writes before save-all asks, and again after; Exit writes only after.
        QCOMPARE(atQuestion.contains("StartDirectory"), byFrame);
        if (byFrame) {
            QCOMPARE(atQuestion.value("StartDirectory").toString(), env.workDir() + "/browsed");
            QCOMPARE(atQuestion.value("WordWrap").toInteger(-1), 1);
        }
        const QJsonObject values = storedValues(env);
        QCOMPARE(values.value("StartDirectory").toString(), env.workDir() + "/browsed");
        QCOMPARE(values.value("WordWrap").toInteger(-1), 1);
        QCOMPARE(values.value("Bold").toInteger(-1), 1);
        QCOMPARE(dialogs.questions.size(), 1);
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));

        // The next run starts where this one was closed.
        ScriptedDialogs next;
        TfrmEditor again(next, {"OrvikEditor"});
        QCOMPARE(again.FileList->Directory(), env.workDir() + "/browsed");
        QVERIFY(again.itm_wordwrap->Checked());
        QVERIFY2(next.allAnswered(), qPrintable(next.report()));
    }

    void settingsThatCannotBeStoredAreSilent()
    {
        TestEnvironment env;
        const QString blocker = env.writeFile("blocker", "x");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + "/config"));
        ScriptedDialogs dialogs;
        {
            TfrmEditor form(dialogs, {"OrvikEditor"});
            QCOMPARE(form.FileList->Directory(), env.workDir());
            QCOMPARE(form.mmoEditor->font().size, 10);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.close();
            QVERIFY(!form.isVisible());
        }
        QCOMPARE(ReadWholeFile(blocker), QByteArray("x"));
        QVERIFY2(dialogs.allAnswered(), qPrintable(dialogs.report()));
    }
};

ORVIK_TEST_MAIN(tst_StartupSettings)
#include "tst_StartupSettings.moc"
