// The browser engine behind the preview: a web view whose profile keeps nothing on disk,
// reads local files through the preview scheme and refuses what pages may not do.
#include "host/BrowserEngine.h"
#include "host/engine/PreviewGuard.h"
#include "host/engine/PreviewScheme.h"

#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

class WebEngineBrowser final : public BrowserEngine
{
public:
    explicit WebEngineBrowser(QWidget *parent)
    {
        // Off the record: nothing the pages do is kept on disk.
        m_profile = new QWebEngineProfile;
        m_handler = new PreviewSchemeHandler(m_profile);
        m_requestGuard = new PreviewGuard(m_profile);
        m_profile->installUrlSchemeHandler(PreviewSchemeName(), m_handler);
        m_profile->setUrlRequestInterceptor(m_requestGuard);
        QObject::connect(m_profile, &QWebEngineProfile::downloadRequested, m_profile,
                         [](QWebEngineDownloadRequest *download) { download->cancel(); });

        m_view = new QWebEngineView(parent);
        m_view->setObjectName(QStringLiteral("webEngineView"));
        m_view->setPage(new QWebEnginePage(m_profile, m_view));
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
        const QUrl url = PreviewUrl(absoluteFile);
        if (!url.isValid())
            return false;
        if (content)
            m_handler->setPage(absoluteFile, *content);
        else
            m_handler->setPage(absoluteFile);
        // Going to the address already shown would take its style sheets and images from the
        // engine's memory cache; they may have changed on disk since.
        if (m_view->url() == url)
            m_view->page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
        else
            m_view->setUrl(url);
        return true;
    }

private:
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
