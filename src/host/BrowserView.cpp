#include "host/BrowserView.h"

#include "host/HostError.h"
#include "host/PreviewGuard.h"
#include "host/PreviewScheme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The engine ends the process when its helper program is missing; look for it the way the
// engine does, so that a broken installation becomes an error the user can read.
QString missingHelperProgram()
{
    const QString fromEnv = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    QStringList candidates;
    if (!fromEnv.isEmpty()) {
        candidates << fromEnv;
    } else {
        candidates << QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath)
                          + QStringLiteral("/QtWebEngineProcess")
                   << QCoreApplication::applicationDirPath() + QStringLiteral("/QtWebEngineProcess");
    }
    for (const QString &candidate : std::as_const(candidates))
        if (QFileInfo(candidate).isExecutable())
            return QString();
    return candidates.first();
}

} // namespace

BrowserView::BrowserView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("webBrowser"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

BrowserView::~BrowserView()
{
    // The page must go before its profile.
    delete m_view;
    delete m_profile;
}

void BrowserView::startEngine()
{
    const QString missing = missingHelperProgram();
    if (!missing.isEmpty())
        throw EHostError(QStringLiteral("Cannot start the browser view: %1 is missing").arg(missing));

    // Off the record: nothing the pages do is kept on disk.
    m_profile = new QWebEngineProfile(this);
    m_handler = new PreviewSchemeHandler(this);
    m_requestGuard = new PreviewGuard(this);
    m_profile->installUrlSchemeHandler(PreviewSchemeName(), m_handler);
    m_profile->setUrlRequestInterceptor(m_requestGuard);
    connect(m_profile, &QWebEngineProfile::downloadRequested, this,
            [](QWebEngineDownloadRequest *download) { download->cancel(); });

    auto *view = new QWebEngineView(this);
    view->setObjectName(QStringLiteral("webEngineView"));
    view->setPage(new QWebEnginePage(m_profile, view));
    connect(view, &QWebEngineView::loadFinished, this, &BrowserView::LoadFinished);
    layout()->addWidget(view);
    m_view = view;
}

void BrowserView::ServeFromMemory(const QString &path, const QByteArray &content)
{
    m_memoryPath = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    m_memoryContent = content;
}

void BrowserView::Navigate(const QString &path)
{
    if (path.isEmpty())
        throw EHostError(QStringLiteral("Cannot show an empty path in the browser view"));
    if (!m_view)
        startEngine();
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QUrl url = PreviewUrl(file);
    if (!url.isValid())
        throw EHostError(QStringLiteral("Cannot show %1 in the browser view").arg(path));

    if (file == m_memoryPath)
        m_handler->setPage(file, m_memoryContent);
    else
        m_handler->setPage(file);
    m_memoryPath.clear();
    m_memoryContent.clear();

    // Going to the address already shown would take its style sheets and images from the
    // engine's memory cache; they may have changed on disk since.
    if (m_view->url() == url)
        m_view->page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
    else
        m_view->setUrl(url);
}
