// A private world for one test: its own settings, cache and working directories.
#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <sys/resource.h>

class TestEnvironment
{
public:
    TestEnvironment();
    ~TestEnvironment();

    QString root() const { return m_root.path(); }
    QString configDir() const { return root() + QStringLiteral("/config"); }
    QString cacheDir() const { return root() + QStringLiteral("/cache"); }
    QString dataDir() const { return root() + QStringLiteral("/data"); }
    QString recoveryDir() const { return dataDir() + QStringLiteral("/Orvik/Pagloom/recovery"); }
    QString workDir() const { return root() + QStringLiteral("/work"); }
    QString settingsFile() const { return configDir() + QStringLiteral("/Orvik/Pagloom.json"); }
    // The untitled documents' directory, with its trailing "/".
    QString untitledDir() const { return cacheDir() + QStringLiteral("/Orvik/Pagloom/"); }

    // Writes bytes to a file under the working directory and returns its absolute path.
    QString writeFile(const QString &relativePath, const QByteArray &bytes) const;

private:
    QTemporaryDir m_root;
    QString m_previousDir;
};

QByteArray ReadWholeFile(const QString &path);

// File access by this thread as a user who is not root (uid and gid kTestUser), so that
// permissions are checked although the tests run as root.
class ActingAsUser
{
public:
    static constexpr unsigned kTestUser = 4321;
    // False where the process cannot take on another user's file access (it is not root).
    static bool possible();
    ActingAsUser();
    ~ActingAsUser();
    ActingAsUser(const ActingAsUser &) = delete;
    ActingAsUser &operator=(const ActingAsUser &) = delete;
};

// While it lives, no file may grow past bytes: a write beyond fails (EFBIG), as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();

private:
    rlimit m_previous {};
};

// Runs action on the modal box once the event loop of its exec() has put it up.
void WhenModalShown(std::function<void(QWidget *)> action);

// A test main that prepares the process as the editor's entry does.
void PrepareTestProcess();
#define ORVIK_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        PrepareTestProcess();                                                                      \
        QApplication app(argc, argv);                                                              \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
