// Catches what the desktop would be asked to open, through Qt's own hook for URL schemes.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    UrlRecorder();
    ~UrlRecorder() override;

    QList<QUrl> urls;

public slots:
    void open(const QUrl &url);
};
