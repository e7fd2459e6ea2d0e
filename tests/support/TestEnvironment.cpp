#include "TestEnvironment.h"

#include "app/Startup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <sys/fsuid.h>
#include <unistd.h>

TestEnvironment::TestEnvironment() : m_previousDir(QDir::currentPath())
{
    QDir().mkpath(configDir());
    QDir().mkpath(cacheDir());
    QDir().mkpath(dataDir());
    QDir().mkpath(workDir());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheDir()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataDir()));
    QDir::setCurrent(workDir());
}

TestEnvironment::~TestEnvironment()
{
    QDir::setCurrent(m_previousDir);
}

QString TestEnvironment::writeFile(const QString &relativePath, const QByteArray &bytes) const
{
    const QString path = workDir() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}

bool ActingAsUser::possible()
{
    return ::geteuid() == 0;
}

// setfsuid, unlike setuid, changes only the calling thread and gives way back to root.
ActingAsUser::ActingAsUser()
{
    ::setfsgid(kTestUser);
    ::setfsuid(kTestUser);
}

ActingAsUser::~ActingAsUser()
{
    ::setfsuid(0);
    ::setfsgid(0);
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    ::getrlimit(RLIMIT_FSIZE, &m_previous);
    const rlimit limit {bytes, m_previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
}

void PrepareTestProcess()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareProcess();
    InitializeApplication();
}

void WhenModalShown(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget *box = QApplication::activeModalWidget();
        if (!box) {
            QTimer::singleShot(10, [action] { WhenModalShown(action); });
            return;
        }
        action(box);
    });
}
