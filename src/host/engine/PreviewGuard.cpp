#include "host/engine/PreviewGuard.h"

#include "host/engine/PreviewScheme.h"

namespace {

bool endsWithAny(const QString &path, std::initializer_list<const char *> suffixes)
{
    for (const char *suffix : suffixes)
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

bool PreviewGuard::allows(QWebEngineUrlRequestInfo::ResourceType type, const QString &path)
{
    using Info = QWebEngineUrlRequestInfo;
    switch (type) {
    case Info::ResourceTypeMainFrame:
    case Info::ResourceTypeImage:
    case Info::ResourceTypeFontResource:
    case Info::ResourceTypeMedia:
    case Info::ResourceTypeFavicon:
        return true;
    // A same-origin script's errors reveal its text, so only files named as scripts run.
    case Info::ResourceTypeScript:
    case Info::ResourceTypeWorker:
    case Info::ResourceTypeSharedWorker:
        return endsWithAny(path, {".js", ".mjs"});
    case Info::ResourceTypeStylesheet:
        return endsWithAny(path, {".css"});
    default:
        return false;
    }
}

void PreviewGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QString path = PreviewPath(info.requestUrl());
    if (!path.isEmpty() && !allows(info.resourceType(), path))
        info.block(true);
}
