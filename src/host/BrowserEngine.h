// What the browser view needs of the engine, which lives in a library of its own so that the
// editor loads it only when the Browse page is first shown.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class BrowserEngine
{
public:
    virtual ~BrowserEngine() = default;
    // The engine's own view widget.
    virtual QWidget *widget() const = 0;
    // Shows an absolute file path as a web page, with content in place of the file's when
    // given; false when the path has no address the view can show.
    virtual bool navigate(const QString &absoluteFile,
                          const std::optional<QByteArray> &content) = 0;

    std::function<void(bool ok)> OnLoadFinished;
};

// The entry point the engine library exports.
using CreateBrowserEngineFunction = BrowserEngine *(*)(QWidget *parent);
inline constexpr const char *kCreateBrowserEngineSymbol = "OrvikCreateBrowserEngine";
