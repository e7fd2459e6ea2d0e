// What a page in the browser view may load from local files: its own site's page resources.
#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

// Pages may hold any script, and other hosts load as in a browser. A local file reaches a page
// only from inside the page's site and only as what its name says it is (a style sheet, a
// script, an image, a font, media, a web page in a frame); never as data a script can read:
// XMLHttpRequest, fetch, workers, objects and the like are refused for local files.
//
// The site of a page file: the subtree of its directory's ancestor just below the user's home
// directory or the file-system root (the directory itself when it is home or the root). Paths
// are compared with symbolic links resolved, and no file or folder whose name starts with "."
// is ever served.
class PreviewGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // The file of the page now shown, "" when the page is no local file: the site every
    // request is judged by. Set by the view itself, never taken from the page, which can
    // change its own address.
    void setPageFile(const QString &pageFile) { m_pageFile = pageFile; }

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Both paths absolute; pageFile as above.
    static bool allows(QWebEngineUrlRequestInfo::ResourceType type, const QString &file,
                       const QString &pageFile);
    // The local file an address names, through file: or the preview scheme; "" for others.
    static QString localFileOf(const QUrl &url);

private:
    QString m_pageFile;
};
