#include "UrlRecorder.h"

#include <QDesktopServices>
#include <QStringList>

namespace {

const QStringList kSchemes = {"file", "http", "https", "mailto"};

} // namespace

UrlRecorder::UrlRecorder()
{
    for (const QString &scheme : kSchemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const QString &scheme : kSchemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void UrlRecorder::open(const QUrl &url)
{
    urls << url;
}
