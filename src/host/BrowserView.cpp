#include "host/BrowserView.h"

// Placeholder until the engine is embedded.
BrowserView::BrowserView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("webBrowser"));
}

void BrowserView::Navigate(const QString &) {}
