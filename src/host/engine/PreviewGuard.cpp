#include "host/engine/PreviewGuard.h"

#include "host/engine/PreviewScheme.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool endsWithAny(const QString &path, std::initializer_list<const char *> suffixes)
{
    for (const char *suffix : suffixes)
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

bool hasHiddenPart(const QString &path)
{
    return path.contains(QLatin1String("/."));
}

// The folder (canonical) whose subtree is the site of a page file, "" when there is none.
QString siteRootOf(const QString &pageFile)
{
    const QString dir = QFileInfo(QFileInfo(pageFile).absolutePath()).canonicalFilePath();
    if (dir.isEmpty())
        return QString();
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    if (dir == home || dir == QLatin1String("/"))
        return dir;
    const bool underHome = !home.isEmpty() && dir.startsWith(home + QLatin1Char('/'));
    const QString top = underHome ? home : QString();
    return top + QLatin1Char('/') + dir.mid(top.size() + 1).section(QLatin1Char('/'), 0, 0);
}

// The file with its links resolved when it lies inside the page's site, else "".
QString resolvedInSite(const QString &file, const QString &pageFile)
{
    const QString root = siteRootOf(pageFile);
    const QString resolved = QFileInfo(file).canonicalFilePath();
    if (root.isEmpty() || resolved.isEmpty() || hasHiddenPart(file) || hasHiddenPart(resolved))
        return QString();
    if (root != QLatin1String("/") && !resolved.startsWith(root + QLatin1Char('/')))
        return QString();
    return resolved;
}

} // namespace

bool PreviewGuard::allows(QWebEngineUrlRequestInfo::ResourceType type, const QString &file,
                          const QString &pageFile)
{
    using Info = QWebEngineUrlRequestInfo;
    // Only the view loads pages: where a page would go by itself, the view goes instead.
    if (type == Info::ResourceTypeMainFrame)
        return true;
    const QString resolved = resolvedInSite(file, pageFile);
    if (resolved.isEmpty())
        return false;
    // A link keeps its own name, so both must say what the file is.
    const auto named = [&](std::initializer_list<const char *> suffixes) {
        return endsWithAny(file, suffixes) && endsWithAny(resolved, suffixes);
    };
    switch (type) {
    case Info::ResourceTypeImage:
    case Info::ResourceTypeFontResource:
    case Info::ResourceTypeMedia:
    case Info::ResourceTypeFavicon:
        return true;
    // A script runs with the page, which reads what it defines.
    case Info::ResourceTypeScript:
    case Info::ResourceTypeWorker:
    case Info::ResourceTypeSharedWorker:
        return named({".js", ".mjs"});
    case Info::ResourceTypeStylesheet:
        return named({".css"});
    // Frames hold pages of their own origin, which the page around them cannot read.
    case Info::ResourceTypeSubFrame:
        return named({".htm", ".html", ".shtml", ".shtm", ".xhtml", ".xht"});
    default:
        return false;
    }
}

QString PreviewGuard::localFileOf(const QUrl &url)
{
    return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : PreviewPath(url);
}

void PreviewGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QString file = localFileOf(info.requestUrl());
    if (file.isEmpty())
        return;
    if (!allows(info.resourceType(), file, m_pageFile))
        info.block(true);
}
