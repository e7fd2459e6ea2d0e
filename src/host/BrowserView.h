// The embedded browser view webBrowser of the Browse page; the engine starts on first use.
#pragma once

#include <QWidget>

class BrowserView : public QWidget
{
    Q_OBJECT
public:
    explicit BrowserView(QWidget *parent);
    // Sends the view to a plain file path; returns at once, the page loads on its own.
    void Navigate(const QString &path);
};
