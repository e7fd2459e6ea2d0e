#include "TestEnvironment.h"

#include "docs/DocumentFiles.h"

#include <QDir>
#include <QFile>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

struct stat statusOf(const QString &path)
{
    struct stat st
    {
    };
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

QByteArray attribute(const QString &path, const char *name)
{
    char value[64];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return n < 0 ? QByteArray("<none>") : QByteArray(value, int(n));
}

void require(bool done, const char *what)
{
    if (!done)
        qFatal("cannot %s", what);
}

} // namespace

// What a save keeps of the file it replaces: the tests run as root and hand files to others.
class tst_SaveRules : public QObject
{
    Q_OBJECT
private slots:
    void saveKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<uint>("owner"); // uid and gid of the file
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("byUser"); // saved by ActingAsUser instead of root
        QTest::addColumn<bool>("directoryWritable");
        QTest::addColumn<bool>("secondName");
        QTest::addColumn<bool>("inPlace"); // the same file afterwards, else a new one
        const uint user = ActingAsUser::kTestUser;
        QTest::newRow("another user's file, set-group-ID, saved by root")
            << 4322u << 02664 << false << true << false << false;
        QTest::newRow("the user's own file") << user << 0600 << true << true << false << false;
        QTest::newRow("another user's file, saved by a user")
            << 4322u << 0666 << true << true << false << true;
        QTest::newRow("a directory the user cannot write")
            << user << 0640 << true << false << false << true;
        QTest::newRow("two hard links") << 0u << 0644 << false << true << true << true;
    }
    void saveKeepsWhatTheFileWas()
    {
        QFETCH(uint, owner);
        QFETCH(int, mode);
        QFETCH(bool, byUser);
        QFETCH(bool, directoryWritable);
        QFETCH(bool, secondName);
        QFETCH(bool, inPlace);
        if (!ActingAsUser::possible())
            QSKIP("needs root, to give files to other users");
        TestEnvironment env;
        const uint user = ActingAsUser::kTestUser;
        // The user reaches the files and keeps safety copies in a cache of its own.
        const QString dir = env.workDir() + "/site", cache = env.root() + "/user-cache";
        require(::chmod(QFile::encodeName(env.root()), 0755) == 0 && QDir().mkpath(dir)
                    && QDir().mkpath(cache) && ::chown(QFile::encodeName(cache), user, user) == 0
                    && ::chown(QFile::encodeName(dir), directoryWritable ? user : 0, 0) == 0,
                "prepare the directories");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
        const QString page = env.writeFile("site/page.htm", "older text\r\n");
        const QByteArray name = QFile::encodeName(page);
        require(::chown(name, owner, owner) == 0 && ::chmod(name, mode_t(mode)) == 0
                    && ::setxattr(name, "user.origin", "test", 4, 0) == 0,
                "prepare the page");
        if (secondName)
            require(::link(name, QFile::encodeName(dir + "/other.htm")) == 0, "link the page");
        const ino_t before = statusOf(page).st_ino;

        QString error;
        bool saved = false;
        {
            std::optional<ActingAsUser> acting;
            if (byUser)
                acting.emplace();
            // Bytes that come in pieces, shorter than the file's.
            saved = SaveDocumentFile(
                page, [](const auto &write) { return write("ne") && write("w\r\n"); }, &error);
        }
        QVERIFY2(saved, qPrintable(error));
        QCOMPARE(ReadWholeFile(page), QByteArray("new\r\n"));
        const struct stat after = statusOf(page);
        QCOMPARE(QList<uint>({after.st_uid, after.st_gid}), QList<uint>({owner, owner}));
        QCOMPARE(int(after.st_mode & 07777), mode);
        QCOMPARE(attribute(page, "user.origin"), QByteArray("test"));
        QCOMPARE(after.st_ino == before, inPlace);
        if (secondName)
            QCOMPARE(ReadWholeFile(dir + "/other.htm"), QByteArray("new\r\n"));
        // Nothing is left behind: no new file beside the page, no safety copy.
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), secondName ? 2 : 1);
        QCOMPARE(QDir(cache + "/Orvik/Pagloom").entryList(QDir::Files), QStringList());
    }

    // A write in place that fails leaves the old bytes in a private copy that the error names.
    void aFailedWriteInPlaceKeepsTheOldBytes()
    {
        TestEnvironment env;
        const QString page = env.writeFile("page.htm", "old\r\n");
        const QString other = env.workDir() + "/other.htm";
        require(::link(QFile::encodeName(page), QFile::encodeName(other)) == 0, "link the page");
        QString error;
        {
            const FileSizeLimit full(1000);
            QVERIFY(!SaveDocumentFile(page, QByteArray(5000, 'n'), &error));
        }
        const QStringList copies = QDir(env.untitledDir()).entryList(QDir::Files);
        QCOMPARE(copies.size(), 1);
        const QString copy = env.untitledDir() + copies.first();
        QCOMPARE(error, "File too large.\nThe file as it was is kept in \"" + copy + "\"");
        QCOMPARE(ReadWholeFile(copy), QByteArray("old\r\n"));
        QCOMPARE(statusOf(copy).st_mode & 0077, 0u);
    }
};

ORVIK_TEST_MAIN(tst_SaveRules)
#include "tst_SaveRules.moc"
