// The browser engine behind the preview: a web view whose profile keeps nothing on disk, shows
// local files from their file:// address (or, for what the engine would not render, through
// the preview scheme) and refuses what pages may not do.
#include "host/BrowserEngine.h"
#include "host/engine/PreviewGuard.h"
#include "host/engine/PreviewScheme.h"

#include <QMimeDatabase>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Whether the engine renders the file as a web page from its file:// address: it takes the
// type from the name, as the shared type database says (*.ht~ only with the editor's entry).
bool rendersFromFile(const QString &path)
{
    static const QMimeDatabase db;
    return db.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name()
           == QLatin1String("text/html");
}

// A page that goes nowhere by itself: where a link or a script would take it, the view shows
// in a new page instead, so that each page is judged by its own site and the engine's memory
// does not grow with a page's history.
class PreviewPage : public QWebEnginePage
{
public:
    PreviewPage(QWebEngineProfile *profile, QObject *parent, std::function<void(QUrl)> show)
        : QWebEnginePage(profile, parent), m_show(std::move(show))
    { }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        const bool ownLoad = std::exchange(m_firstLoad, false);
        if (ownLoad || !isMainFrame || type == NavigationTypeRedirect
            || url.adjusted(QUrl::RemoveFragment) == this->url().adjusted(QUrl::RemoveFragment))
            return true;
        QMetaObject::invokeMethod(
            this, [show = m_show, url] { show(url); }, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void(QUrl)> m_show;
    bool m_firstLoad = true;
};

class WebEngineBrowser final : public BrowserEngine
{
public:
    explicit WebEngineBrowser(QWidget *parent)
    {
        // Off the record: nothing the pages do is kept on disk.
        m_profile = new QWebEngineProfile;
        // A file:// page gets no local file at all, not even its own style sheet, without
        // LocalContentCanAccessFileUrls; what it may load is the request guard's to decide.
        QWebEngineSettings *settings = m_profile->settings();
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        m_handler = new PreviewSchemeHandler(m_profile);
        m_requestGuard = new PreviewGuard(m_profile);
        m_profile->installUrlSchemeHandler(PreviewSchemeName(), m_handler);
        m_profile->setUrlRequestInterceptor(m_requestGuard);
        QObject::connect(m_profile, &QWebEngineProfile::downloadRequested, m_profile,
                         [](QWebEngineDownloadRequest *download) { download->cancel(); });

        m_view = new QWebEngineView(parent);
        m_view->setObjectName(QStringLiteral("webEngineView"));
        m_view->setPage(new QWebEnginePage(m_profile, m_view)); // until the first navigation
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
            if (OnLoadFinished)
                OnLoadFinished(ok);
        });
    }

    ~WebEngineBrowser() override
    {
        // The page must go before its profile.
        delete m_view;
        delete m_profile;
    }

    QWidget *widget() const override { return m_view; }

    bool navigate(const QString &absoluteFile, const std::optional<QByteArray> &content) override
    {
        const bool fromFile = !content && rendersFromFile(absoluteFile);
        const QUrl url = fromFile ? QUrl::fromLocalFile(absoluteFile) : PreviewUrl(absoluteFile);
        if (!url.isValid())
            return false;
        if (content)
            m_handler->setPage(absoluteFile, *content);
        else
            m_handler->setPage(absoluteFile);
        show(url, absoluteFile);
        return true;
    }

private:
    void show(const QUrl &url, const QString &pageFile)
    {
        QWebEnginePage *page = freshPage();
        m_requestGuard->setPageFile(pageFile);
        page->setUrl(url);
    }

    // Where a page would go by itself: a local file as if the view were sent there, another
    // address in a page that may load no local file.
    void follow(const QUrl &url)
    {
        const QString file = PreviewGuard::localFileOf(url);
        if (file.isEmpty())
            show(url, QString());
        else
            navigate(file, std::nullopt);
    }

    // A new page for every navigation, the old one gone first: loading again into one page
    // lets the engine's memory swing by hundreds of megabytes, and a new page takes nothing
    // stale from the old one's caches.
    QWebEnginePage *freshPage()
    {
        QWebEnginePage *old = m_view->page();
        auto *page = new PreviewPage(m_profile, m_view, [this](const QUrl &url) { follow(url); });
        m_view->setPage(page);
        delete old;
        return page;
    }

    QWebEngineProfile *m_profile;
    PreviewSchemeHandler *m_handler;
    PreviewGuard *m_requestGuard;
    QWebEngineView *m_view;
};

} // namespace

extern "C" Q_DECL_EXPORT BrowserEngine *OrvikCreateBrowserEngine(QWidget *parent)
{
    RegisterPreviewScheme();
    return new WebEngineBrowser(parent);
}
