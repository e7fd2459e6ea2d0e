// The URL scheme through which the browser view reads local files: any extension renders, and
// relative references resolve against the file's own directory.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Must run before the engine's first profile exists; later calls do nothing.
void RegisterPreviewScheme();

QByteArray PreviewSchemeName();
// The address of an absolute file path, and back; an address of another scheme gives "".
QUrl PreviewUrl(const QString &absolutePath);
QString PreviewPath(const QUrl &url);

class PreviewSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    // The page the view was sent to: served as a web page whatever its extension, with content
    // instead of the file's when one is given (a preview that could not be written).
    void setPage(const QString &absolutePath);
    void setPage(const QString &absolutePath, const QByteArray &content);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QString m_pagePath;
    QByteArray m_pageContent;
    bool m_fromMemory = false;
};
