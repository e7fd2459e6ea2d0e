// What a page in the browser view may load from local files: page resources only.
#pragma once

#include <QWebEngineUrlRequestInterceptor>

// Pages may hold any script. A local file reaches a page only as what its name says it is
// (a style sheet, a script, an image, a font, media) and never as data a script can read:
// XMLHttpRequest, fetch, frames, objects and the like are refused for local files.
class PreviewGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    static bool allows(QWebEngineUrlRequestInfo::ResourceType type, const QString &path);
};
