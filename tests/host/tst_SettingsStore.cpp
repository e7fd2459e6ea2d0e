#include "TestEnvironment.h"

#include "host/HostError.h"
#include "host/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonArray>
#include <QLockFile>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

    static void writeSettings(const TestEnvironment &env, const QByteArray &bytes)
    {
        QDir().mkpath(env.configDir() + QStringLiteral("/Orvik"));
        QFile f(env.settingsFile());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    static QJsonObject storedValues(const TestEnvironment &env)
    {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(ReadWholeFile(env.settingsFile()), &error);
        if (error.error != QJsonParseError::NoError || !doc.isObject())
            qWarning("settings file is not a JSON object: %s", ReadWholeFile(env.settingsFile()).constData());
        return doc.object();
    }

    static QString errorOf(const std::function<void()> &fn)
    {
        try {
            fn();
        } catch (const EHostError &e) {
            return e.message();
        }
        return QStringLiteral("<no error>");
    }

private slots:
    void firstOpenCreatesAnEmptyKey()
    {
        TestEnvironment env;
        SettingsStore store;
        QCOMPARE(store.filePath(), env.settingsFile());
        QVERIFY(!QFile::exists(env.settingsFile()));
        store.OpenKey(kSettingsKey, true);
        QVERIFY(QFile::exists(env.settingsFile()));
        QVERIFY(storedValues(env).isEmpty());
        QCOMPARE(store.ReadString("StartDirectory"), QString());
        QCOMPARE(errorOf([&] { store.ReadInteger("WordWrap"); }),
                 QStringLiteral("Failed to get data for 'WordWrap'"));
        store.CloseKey();
    }

    void valuesKeepTheirTypes_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("asString");  // "!" for the type error
        QTest::addColumn<QString>("asInteger"); // "!" for the type error
        QTest::newRow("string") << QByteArray(R"({"v": "12"})") << "12" << "!";
        QTest::newRow("integer") << QByteArray(R"({"v": 12})") << "!" << "12";
        QTest::newRow("beyond 32 bits") << QByteArray(R"({"v": 4294967296})") << "!" << "!";
        QTest::newRow("fraction") << QByteArray(R"({"v": 1.5})") << "!" << "!";
        QTest::newRow("boolean") << QByteArray(R"({"v": true})") << "!" << "!";
        QTest::newRow("null") << QByteArray(R"({"v": null})") << "!" << "!";
        QTest::newRow("array") << QByteArray(R"({"v": [1]})") << "!" << "!";
        QTest::newRow("string cut at NUL") << QByteArray(R"({"v": "ab\u0000cd"})") << "ab" << "!";
    }
    void valuesKeepTheirTypes()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, asString);
        QFETCH(QString, asInteger);
        TestEnvironment env;
        writeSettings(env, json);
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        const QString typeError = QStringLiteral("Invalid data type for 'v'");
        if (asString == QLatin1String("!"))
            QCOMPARE(errorOf([&] { store.ReadString("v"); }), typeError);
        else
            QCOMPARE(store.ReadString("v"), asString);
        if (asInteger == QLatin1String("!"))
            QCOMPARE(errorOf([&] { store.ReadInteger("v"); }), typeError);
        else
            QCOMPARE(QString::number(store.ReadInteger("v")), asInteger);
        // Reading changes nothing on disk.
        QCOMPARE(ReadWholeFile(env.settingsFile()), json);
    }

    void writesReplaceOneValueAndKeepTheOthers()
    {
        TestEnvironment env;
        writeSettings(env, R"({"FontName": "Courier", "Unknown": [1, 2]})");
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        store.WriteString("StartDirectory", "/home/user/pages");
        store.WriteInteger("WordWrap", 1);
        store.WriteInteger("FontName", 7); // a value may change its type
        const QJsonObject values = storedValues(env);
        QCOMPARE(values.value("StartDirectory").toString(), QStringLiteral("/home/user/pages"));
        QCOMPARE(values.value("WordWrap").toInteger(), 1);
        QCOMPARE(values.value("FontName").toInteger(), 7);
        QCOMPARE(values.value("Unknown").toArray().size(), 2);
        QCOMPARE(store.ReadInteger("FontName"), 7);
        QCOMPARE(errorOf([&] { store.ReadString("FontName"); }),
                 QStringLiteral("Invalid data type for 'FontName'"));
        // Nothing but the file itself is left in the directory.
        QCOMPARE(QDir(env.configDir() + "/Orvik").entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Pagloom.json"}));
    }

    void twoStoresWriteInTurn()
    {
        TestEnvironment env;
        SettingsStore first, second;
        first.OpenKey(kSettingsKey, true);
        second.OpenKey(kSettingsKey, true);
        first.WriteString("StartDirectory", "/first");
        second.WriteString("FontName", "Courier");
        second.WriteInteger("FontSize", 14);
        first.WriteInteger("WordWrap", 1);
        second.WriteInteger("WordWrap", 0);
        const QJsonObject values = storedValues(env);
        QCOMPARE(values.keys(), QStringList({"FontName", "FontSize", "StartDirectory", "WordWrap"}));
        QCOMPARE(values.value("StartDirectory").toString(), QStringLiteral("/first"));
        QCOMPARE(values.value("WordWrap").toInteger(), 0);
        QCOMPARE(first.ReadString("FontName"), QStringLiteral("Courier"));
    }

    void writeWaitsForAnotherCopysLock()
    {
        TestEnvironment env;
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        store.WriteInteger("Bold", 1);
        const QByteArray before = ReadWholeFile(env.settingsFile());
        QLockFile held(env.settingsFile() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        QCOMPARE(errorOf([&] { store.WriteInteger("Bold", 0); }),
                 QStringLiteral("Failed to set data for 'Bold'"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), before);
    }

    void malformedFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray("{\"WordWrap\": 1,");
        QTest::newRow("top level is an array") << QByteArray("[{\"WordWrap\": 1}]");
        QTest::newRow("top level is a string") << QByteArray("\"text\"");
    }
    void malformedFileIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        writeSettings(env, bytes);
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        QCOMPARE(store.ReadString("StartDirectory"), QString());
        QVERIFY_THROWS_EXCEPTION(EHostError, store.ReadInteger("WordWrap"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), bytes); // reading keeps it as it is

        store.WriteInteger("WordWrap", 0);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad"), bytes);
        QCOMPARE(storedValues(env).keys(), QStringList({"WordWrap"}));

        // A second bad file does not overwrite the first one kept.
        writeSettings(env, "oops");
        store.WriteInteger("Bold", 1);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad"), bytes);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad.2"), QByteArray("oops"));
        QCOMPARE(storedValues(env).keys(), QStringList({"Bold"}));
    }

    void configDirectoryUnderAFile()
    {
        TestEnvironment env;
        const QString blocker = env.writeFile("not-a-dir", "x");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
        SettingsStore store;
        QVERIFY_THROWS_EXCEPTION(EHostError, store.OpenKey(kSettingsKey, true));
        QCOMPARE(store.ReadString("StartDirectory"), QString());
        QCOMPARE(errorOf([&] { store.WriteString("FontName", "Courier"); }),
                 QStringLiteral("Failed to set data for 'FontName'"));
        QCOMPARE(ReadWholeFile(blocker), QByteArray("x"));
    }

    void somethingElseInTheFilesPlaceIsNeverReplaced_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("directory") << false;
        QTest::newRow("FIFO") << true;
    }
    void somethingElseInTheFilesPlaceIsNeverReplaced()
    {
        QFETCH(bool, fifo);
        TestEnvironment env;
        QDir().mkpath(env.configDir() + "/Orvik");
        const QByteArray path = QFile::encodeName(env.settingsFile());
        QCOMPARE(fifo ? mkfifo(path.constData(), 0600) : mkdir(path.constData(), 0700), 0);
        SettingsStore store;
        store.OpenKey(kSettingsKey, true); // must not block on the FIFO
        QCOMPARE(store.ReadString("StartDirectory"), QString());
        QVERIFY_THROWS_EXCEPTION(EHostError, store.ReadInteger("WordWrap"));
        QCOMPARE(errorOf([&] { store.WriteInteger("WordWrap", 1); }),
                 QStringLiteral("Failed to set data for 'WordWrap'"));
        struct stat st;
        QCOMPARE(stat(path.constData(), &st), 0);
        QVERIFY(fifo ? S_ISFIFO(st.st_mode) : S_ISDIR(st.st_mode));
    }

    void failedWriteLeavesTheFileAsItWas()
    {
        TestEnvironment env;
        const QByteArray before = R"({"FontName": "Courier"})";
        writeSettings(env, before);
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        // Files may grow to 10 bytes only: the new content cannot be written.
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 10;
        setrlimit(RLIMIT_FSIZE, &small);
        const QString error = errorOf([&] { store.WriteString("StartDirectory", "/somewhere/else"); });
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, previousHandler);
        QCOMPARE(error, QStringLiteral("Failed to set data for 'StartDirectory'"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), before);
        QCOMPARE(QDir(env.configDir() + "/Orvik").entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Pagloom.json"}));
    }
};

ORVIK_TEST_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
