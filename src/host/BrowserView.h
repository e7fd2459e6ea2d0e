// The embedded browser view webBrowser of the Browse page; the engine starts on first use.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>

class BrowserEngine;

class BrowserView : public QWidget
{
    Q_OBJECT
public:
    explicit BrowserView(QWidget *parent);
    ~BrowserView() override;

    // Sends the view to a plain file path, relative ones against the working directory; returns
    // at once, the page loads on its own. Fails with EHostError when the engine cannot start or
    // the path cannot be shown.
    void Navigate(const QString &path);
    // The next navigation, when it goes to path, shows content instead of the file's.
    void ServeFromMemory(const QString &path, const QByteArray &content);

signals:
    void LoadFinished(bool ok);

private:
    void startEngine();

    std::unique_ptr<BrowserEngine> m_engine;
    QString m_memoryPath;
    QByteArray m_memoryContent;
};
