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

// The font and word wrap the window shows, as one line: "Arial 10 bold italic wrap".
QString shownSettings(const TfrmEditor &form)
{
    const EditorFont f = form.mmoEditor->font();
    return QStringLiteral("%1 %2%3%4%5").arg(f.name).arg(f.size).arg(f.bold ? " bold" : "",
        f.italic ? " italic" : "", form.itm_wordwrap->Checked() ? " wrap" : "");
}

} // namespace

#define ANSWERED(d) QVERIFY2((d).allAnswered(), qPrintable((d).report()))

class tst_StartupSettings : public QObject
{
    Q_OBJECT

private slots:
    void storedSettingsAtStartup_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no file
        QTest::addColumn<QString>("shown");
        QTest::newRow("first run") << QByteArray() << "MS Sans Serif 10";
        QTest::newRow("every value")
            << QByteArray(R"({"Bold":1,"Italic":1,"FontName":"Courier New","FontSize":14,"WordWrap":1})")
            << "Courier New 14 bold italic wrap";
        QTest::newRow("wrong types")
            << QByteArray(R"({"FontSize":"12","FontName":12,"WordWrap":"1","Bold":true,"Italic":1.5})")
            << "Arial 10";
        QTest::newRow("only 1 is true") << QByteArray(R"({"Bold":2,"Italic":1,"WordWrap":2})")
                                        << "MS Sans Serif 10 italic";
        QTest::newRow("empty font name") << QByteArray(R"({"FontName":"","FontSize":9})")
                                         << "MS Sans Serif 9";
        QTest::newRow("malformed file") << QByteArray("{\"WordWrap\":1") << "MS Sans Serif 10";
    }
    void storedSettingsAtStartup()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        TestEnvironment env;
        if (!file.isEmpty())
            writeSettings(env, file);
        ScriptedDialogs dialogs;
        {
            TfrmEditor form(dialogs, {"OrvikEditor"});
            QCOMPARE(shownSettings(form), shown);
            QCOMPARE(form.mmoEditor->wordWrap(), form.itm_wordwrap->Checked());
            // Applying the settings did not mark the template as changed.
            QVERIFY(form.DocumentList->Items(0)->Saved);
            // Start-up creates the key on a first run, and only reads a bad file.
            QCOMPARE(ReadWholeFile(env.settingsFile()), file.isEmpty() ? "{\n}\n" : file);
            form.close();
        }
        const QJsonObject values = storedValues(env);
        QCOMPARE(values.value("WordWrap").toInteger(-1), shown.endsWith("wrap") ? 1 : 0);
        // Over a missing or malformed file, closing writes just these two values.
        if (!QJsonDocument::fromJson(file).isObject())
            QCOMPARE(values.keys(), QStringList({"StartDirectory", "WordWrap"}));
        QCOMPARE(values.value("StartDirectory").toString(), env.workDir());
        ANSWERED(dialogs);
    }

    void panelPlacementFallsBack_data()
    {
        QTest::addColumn<QString>("argument"); // "~" stands for the working directory
        QTest::addColumn<QString>("stored");   // the JSON value, empty when absent
        QTest::addColumn<QString>("directory");
        QTest::newRow("nothing stored") << "" << "" << "~";
        QTest::newRow("stored directory") << "" << "\"~/stored\"" << "~/stored";
        QTest::newRow("stored empty") << "" << "\"\"" << "~";
        QTest::newRow("stored directory gone") << "" << "\"~/gone\"" << "/";
        QTest::newRow("stored as a number") << "" << "5" << "/";
        QTest::newRow("stored with a variable") << "" << "\"$HOME\"" << "/";
        QTest::newRow("argument file") << "~/site/index.htm" << "\"~/stored\"" << "~/site";
        QTest::newRow("argument relative") << "site/index.htm" << "" << "~/site";
        QTest::newRow("argument the mask hides") << "~/site/notes.txt" << "" << "~/site";
        QTest::newRow("argument's directory missing") << "~/no/a.htm" << "\"~/stored\"" << "~/stored";
        // The failed attempt has already moved the panel to the file's directory.
        QTest::newRow("argument missing, nothing stored") << "~/site/gone.htm" << "" << "~/site";
    }
    void panelPlacementFallsBack()
    {
        QFETCH(QString, argument);
        QFETCH(QString, stored);
        TestEnvironment env;
        const auto expand = [&](QString p) { return p.replace(QLatin1Char('~'), env.workDir()); };
        env.writeFile("site/index.htm", "<p>index</p>\r\n");
        env.writeFile("site/notes.txt", "notes\r\n");
        QDir().mkpath(env.workDir() + "/stored");
        if (!stored.isEmpty())
            writeSettings(env, "{\"StartDirectory\": " + expand(stored).toUtf8() + "}");
        const QFileInfo file(expand(argument)); // a relative one from where the program starts
        const bool loads = file.isFile();
        const QString fullPath = file.absoluteFilePath();

        ScriptedDialogs dialogs;
        if (!argument.isEmpty() && !loads)
            dialogs.expectError("Cannot open file");
        TfrmEditor form(dialogs, argument.isEmpty() ? QStringList{"OrvikEditor"}
                                                     : QStringList{"OrvikEditor", file.filePath()});
        QFETCH(QString, directory);
        directory = expand(directory);
        QCOMPARE(form.FileList->Directory(), directory);
        QCOMPARE(form.DIRList->Directory(), directory);
        QCOMPARE(QDir::currentPath(), directory);
        QCOMPARE(form.FileList->FileName(), loads ? directory + "/" + file.fileName() : QString());
        // Start-up went on to the end whatever the panel did.
        QCOMPARE(form.DocumentList->Count(), 1);
        QCOMPARE(form.DocumentList->Items(0)->FullPath, loads ? fullPath : QString());
        QCOMPARE(form.BaseCaption, QStringLiteral("Ostra Pagloom"));
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
        QDir().mkpath(env.workDir() + "/browsed");
        const QString blocker = env.writeFile("blocker", "x");
        if (!storable) // failures stay silent: no error, and the window still closes
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + "/config"));
        const QByteArray otherCopy = R"({"StartDirectory": "elsewhere", "WordWrap": 7, "Bold": 1})";
        const QJsonObject otherValues = QJsonDocument::fromJson(otherCopy).object();
        HookedDialogs dialogs;
        QJsonObject atQuestion;
        dialogs.onQuestion = [&] {
            atQuestion = storedValues(env);
            // Another copy writes meanwhile; only the values written later may replace these.
            writeSettings(env, otherCopy);
        };
        dialogs.expectQuestion("has changed", mrNo);
        {
            TfrmEditor form(dialogs, {"OrvikEditor"});
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            form.DIRList->setDirectory(env.workDir() + "/browsed");
            form.itm_wordwrap->setChecked(true);
            form.mmoEditor->setLinesText("changed\r\n");
            byFrame ? (void)form.close() : form.itmExit->Click();
            QVERIFY(!form.isVisible());
        }
        ANSWERED(dialogs);
        QCOMPARE(ReadWholeFile(blocker), QByteArray("x"));
        // The close box writes before save-all asks, and again after; Exit writes only after.
        QJsonObject written{{"StartDirectory", env.workDir() + "/browsed"}, {"WordWrap", 1}};
        QCOMPARE(atQuestion, byFrame && storable ? written : QJsonObject());
        written.insert("Bold", 1);
        QCOMPARE(storedValues(env), storable ? written : otherValues);
    }
};

ORVIK_TEST_MAIN(tst_StartupSettings)
#include "tst_StartupSettings.moc"
