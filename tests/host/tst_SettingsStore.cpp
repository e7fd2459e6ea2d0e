#include "TestEnvironment.h"

#include "host/SettingsStore.h"
#include "util/HostError.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>

#include <sys/stat.h>

class tst_SettingsStore : public QObject
{
    Q_OBJECT

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
        QTest::newRow("integer") << QByteArray(R"({"v": -12})") << bad << "-12";
        QTest::newRow("beyond 32 bits") << QByteArray(R"({"v": 4294967296})") << bad << bad;
        QTest::newRow("string cut at NUL") << QByteArray(R"({"v": "ab\u0000cd"})") << "ab" << bad;
    }
    void valuesKeepTheirTypes()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, asString);
        QFETCH(QString, asInteger);
        TestEnvironment env;
        SettingsStore store(env.writeFile("Pagloom.json", json));
        store.OpenKey(kSettingsKey, true);
        QCOMPARE(outcome([&] { return store.ReadString("v"); }), asString);
        QCOMPARE(outcome([&] { return QString::number(store.ReadInteger("v")); }), asInteger);
    }

    void writesTakeTurnsAndAFailedOneChangesNothing()
    {
        TestEnvironment env;
        SettingsStore first, second;
        first.OpenKey(kSettingsKey, true);
        second.OpenKey(kSettingsKey, true);
        // Each write re-reads the file, so neither store undoes the other's values.
        first.WriteString("StartDirectory", "/a");
        second.WriteString("FontName", "Courier");
        first.WriteInteger("WordWrap", 1);
        QCOMPARE(QJsonDocument::fromJson(ReadWholeFile(env.settingsFile())).object(),
                 QJsonObject({{"FontName", "Courier"}, {"StartDirectory", "/a"}, {"WordWrap", 1}}));

        // Failed writes change nothing: files may grow to 10 bytes only, then the lock is held.
        const QByteArray before = ReadWholeFile(env.settingsFile());
        const QString error = outcome([&] {
            const FileSizeLimit full(10);
            first.WriteString("StartDirectory", "/else");
            return QString();
        });
        QCOMPARE(error, QStringLiteral("Failed to set data for 'StartDirectory'"));
        QCOMPARE(ReadWholeFile(env.settingsFile()), before);
        QLockFile held(env.settingsFile() + QStringLiteral(".lock"));
        QVERIFY(held.tryLock(0));
        QVERIFY_THROWS_EXCEPTION(EHostError, first.WriteInteger("Bold", 1));
    }

    void malformedFileIsKeptAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not JSON") << QByteArray("{\"WordWrap\": 1,");
        QTest::newRow("top level is an array") << QByteArray("[{\"WordWrap\": 1}]");
        QTest::newRow("over 1 MiB") << "{\"WordWrap\": 1" + QByteArray(1024 * 1024, ' ') + "}";
    }
    void malformedFileIsKeptAside()
    {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        const QString file = env.writeFile("Pagloom.json", bytes);
        SettingsStore store(file);
        store.OpenKey(kSettingsKey, true);
        QVERIFY_THROWS_EXCEPTION(EHostError, store.ReadInteger("WordWrap")); // read as defaults
        store.WriteInteger("WordWrap", 0);
        QCOMPARE(ReadWholeFile(file + ".bad"), bytes);
        QCOMPARE(store.ReadInteger("WordWrap"), 0);
        // A second bad file does not overwrite the first one kept.
        env.writeFile("Pagloom.json", "oops");
        store.WriteInteger("Bold", 1);
        QCOMPARE(ReadWholeFile(file + ".bad.2"), QByteArray("oops"));
    }

    void fifoOrDirectoryInTheFilesPlaceIsNeverBlockedOnNorReplaced()
    {
        TestEnvironment env;
        QCOMPARE(mkdir("directory.json", 0700), 0);
        QCOMPARE(mkfifo("fifo.json", 0600), 0);
        for (const char *name : {"directory.json", "fifo.json"}) {
            SettingsStore store(env.workDir() + '/' + name);
            store.OpenKey(kSettingsKey, true);
            QVERIFY_THROWS_EXCEPTION(EHostError, store.WriteInteger("WordWrap", 1));
            QVERIFY(QFileInfo::exists(name) && !QFileInfo(name).isFile());
        }
    }
};

ORVIK_TEST_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
