#include "host/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool Clipboard::HasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

QString Clipboard::AsText()
{
    return QGuiApplication::clipboard()->text();
}

void Clipboard::SetAsText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}
