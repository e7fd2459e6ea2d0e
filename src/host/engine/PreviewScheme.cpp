#include "host/engine/PreviewScheme.h"

#include "host/FileRead.h"

#include <QBuffer>
#include <QMimeDatabase>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <limits>

namespace {

bool isHtmlName(const QString &path)
{
    static const char *const suffixes[] = {".ht~", ".htm", ".html", ".shtml", ".asp"};
    for (const char *suffix : suffixes)
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

// The type a file is served with, taken from its name only, never from its content.
QByteArray mimeTypeOf(const QString &path)
{
    if (isHtmlName(path))
        return QByteArrayLiteral("text/html");
    if (path.endsWith(QLatin1String(".mjs"), Qt::CaseInsensitive))
        return QByteArrayLiteral("text/javascript");
    static const QMimeDatabase db;
    return db.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
}

// A page that names no encoding is read as the editor reads it: valid UTF-8 as UTF-8, other
// text one character per byte. A declaration in the page (where browsers look for one, in its
// first 1024 bytes) is left to decide.
QByteArray htmlType(const QByteArray &content)
{
    if (content.left(1024).toLower().contains("charset") || !QByteArrayView(content).isValidUtf8())
        return QByteArrayLiteral("text/html");
    return QByteArrayLiteral("text/html; charset=utf-8");
}

void replyWith(QWebEngineUrlRequestJob *job, QByteArray type, const QByteArray &content)
{
    if (type == "text/html")
        type = htmlType(content);
    auto *buffer = new QBuffer;
    buffer->setData(content);
    buffer->open(QIODevice::ReadOnly);
    QObject::connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    job->reply(type, buffer);
}

} // namespace

QByteArray PreviewSchemeName()
{
    return QByteArrayLiteral("orvik-file");
}

void RegisterPreviewScheme()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    // No flags: the local-access flags would open file:// to the page, and the restrictive
    // ones break its fonts and modules. What a page may read is decided by the request guard.
    QWebEngineUrlScheme scheme(PreviewSchemeName());
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags({});
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl PreviewUrl(const QString &absolutePath)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(PreviewSchemeName()));
    url.setPath(absolutePath, QUrl::DecodedMode);
    return url;
}

QString PreviewPath(const QUrl &url)
{
    if (url.scheme() != QLatin1String(PreviewSchemeName()))
        return QString();
    return url.path(QUrl::FullyDecoded);
}

void PreviewSchemeHandler::setPage(const QString &absolutePath)
{
    m_pagePath = absolutePath;
    m_pageContent.clear();
    m_fromMemory = false;
}

void PreviewSchemeHandler::setPage(const QString &absolutePath, const QByteArray &content)
{
    m_pagePath = absolutePath;
    m_pageContent = content;
    m_fromMemory = true;
}

void PreviewSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = PreviewPath(job->requestUrl());
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    const bool isPage = path == m_pagePath;
    if (isPage && m_fromMemory) {
        replyWith(job, QByteArrayLiteral("text/html"), m_pageContent);
        return;
    }
    // Regular files only: a FIFO or a device named by a page would stall the editor, which
    // serves on its one thread.
    const RegularFile file = ReadRegularFile(path, std::numeric_limits<qsizetype>::max());
    if (file.status != RegularFile::Read) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    replyWith(job, isPage ? QByteArrayLiteral("text/html") : mimeTypeOf(path), file.bytes);
}
