#include "TestEnvironment.h"

#include "host/HostError.h"
#include "host/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
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
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }

    // The stored values as compact JSON, keys in order.
    static QByteArray stored(const TestEnvironment &env)
    {
        return QJsonDocument::fromJson(ReadWholeFile(env.settingsFile())).toJson(QJsonDocument::Compact);
    }

    // The value fn returns, or the message of the error it raises.
    static QString outcome(const std::function<QString()> &fn)
    {
        try {
            return fn();
        } catch (const EHostError &e) {
            return e.message();
        }
    }

private slots:
    void valuesKeepTheirTypes_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("asString");
        QTest::addColumn<QString>("asInteger");
        const QString bad = "Invalid data type for 'v'";
        QTest::newRow("string") << QByteArray(R"({"v": "12"})") << "12" << bad;
        QTest::newRow("integer") << QByteArray(R"({"v": -12})") << bad << "-12";
        QTest::newRow("beyond 32 bits") << QByteArray(R"({"v": 4294967296})") << bad << bad;
        QTest::newRow("fraction") << QByteArray(R"({"v": 1.5})") << bad << bad;
        QTest::newRow("boolean") << QByteArray(R"({"v": true})") << bad << bad;
        QTest::newRow("string cut at NUL") << QByteArray(R"({"v": "ab\u0000cd"})") << "ab" << bad;
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
        QCOMPARE(outcome([&] { return store.ReadString("v"); }), asString);
        QCOMPARE(outcome([&] { return QString::number(store.ReadInteger("v")); }), asInteger);
        QCOMPARE(ReadWholeFile(env.settingsFile()), json); // reading changes nothing on disk
    }

    void writesTakeTurnsAndAFailedOneChangesNothing()
    {
        TestEnvironment env;
        SettingsStore first, second;
        QCOMPARE(first.filePath(), env.settingsFile());
        first.OpenKey(kSettingsKey, true); // creates an empty key
        QCOMPARE(stored(env), QByteArray("{}"));
        QCOMPARE(outcome([&] { return QString::number(first.ReadInteger("WordWrap")); }),
                 QStringLiteral("Failed to get data for 'WordWrap'"));
        second.OpenKey(kSettingsKey, true);
        // Each write re-reads the file, so neither store undoes the other's values.
        first.WriteString("StartDirectory", "/first");
        second.WriteString("FontName", "Courier");
        second.WriteInteger("FontName", 7); // a value may change its type
        first.WriteInteger("WordWrap", 1);
        second.WriteInteger("WordWrap", 0);
        QCOMPARE(stored(env), QByteArray(R"({"FontName":7,"StartDirectory":"/first","WordWrap":0})"));

        // A failed write leaves the file as it was and nothing beside it: here files may grow
        // to 10 bytes only, then another copy holds the lock.
        const QByteArray before = ReadWholeFile(env.settingsFile());
        rlimit old;
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit small{10, old.rlim_max};
        const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const QString error =
            outcome([&] { first.WriteString("StartDirectory", "/else"); return QString(); });
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, previousHandler);
        QCOMPARE(error, QStringLiteral("Failed to set data for 'StartDirectory'"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), before);
        QCOMPARE(QDir(env.configDir() + "/Orvik").entryList(QDir::Files | QDir::Hidden),
                 QStringList({"Pagloom.json"}));
        QLockFile held(env.settingsFile() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        QCOMPARE(outcome([&] { first.WriteInteger("Bold", 1); return QString(); }),
                 QStringLiteral("Failed to set data for 'Bold'"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), before);
    }

    void malformedFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray("{\"WordWrap\": 1,");
        QTest::newRow("top level is an array") << QByteArray("[{\"WordWrap\": 1}]");
        QTest::newRow("over 1 MiB") << "{\"WordWrap\": 1, \"x\": \"" + QByteArray(1024 * 1024, 'x') + "\"}";
    }
    void malformedFileIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        writeSettings(env, bytes);
        SettingsStore store;
        store.OpenKey(kSettingsKey, true);
        QVERIFY_THROWS_EXCEPTION(EHostError, store.ReadInteger("WordWrap")); // read as defaults
        QCOMPARE(ReadWholeFile(env.settingsFile()), bytes);

        store.WriteInteger("WordWrap", 0);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad"), bytes);
        QCOMPARE(stored(env), QByteArray(R"({"WordWrap":0})"));
        // A second bad file does not overwrite the first one kept.
        writeSettings(env, "oops");
        store.WriteInteger("Bold", 1);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad"), bytes);
        QCOMPARE(ReadWholeFile(env.settingsFile() + ".bad.2"), QByteArray("oops"));
        QCOMPARE(stored(env), QByteArray(R"({"Bold":1})"));
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
        QCOMPARE(outcome([&] { store.WriteInteger("WordWrap", 1); return QString(); }),
                 QStringLiteral("Failed to set data for 'WordWrap'"));
        struct stat st;
        QCOMPARE(stat(path.constData(), &st), 0);
        QVERIFY(fifo ? S_ISFIFO(st.st_mode) : S_ISDIR(st.st_mode));
    }
};

ORVIK_TEST_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
