// The embedded browser view webBrowser of the Browse page; the engine starts on first use.
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

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
    // Shows a preview file the same way, or bytes in its place when given, for a file that
    // could not be written.
    void showPreview(const QString &path, const std::optional<QByteArray> &bytes);

signals:
    void LoadFinished(bool ok);

private:
    void startEngine();

    std::unique_ptr<BrowserEngine> m_engine;
};
