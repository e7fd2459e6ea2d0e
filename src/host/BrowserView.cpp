#include "host/BrowserView.h"

#include "host/BrowserEngine.h"
#include "util/HostError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QLibraryInfo>
#include <QOpenGLContext>
#include <QVBoxLayout>

// Sets the context that Qt's OpenGL contexts share with; exported by QtGui, declared only in its
// private headers.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace {

// The engine ends the process when its helper program is missing; look for it the way the
// engine does, so that a broken installation becomes an error the user can read.
QString missingHelperProgram()
{
#ifdef Q_OS_WIN
    const QString helper = QStringLiteral("/QtWebEngineProcess.exe");
#else
    const QString helper = QStringLiteral("/QtWebEngineProcess");
#endif
    const QString fromEnv = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    QStringList candidates;
    if (!fromEnv.isEmpty()) {
        candidates << fromEnv;
    } else {
        candidates << QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + helper
                   << QCoreApplication::applicationDirPath() + helper;
    }
    for (const QString &candidate : std::as_const(candidates))
        if (QFileInfo(candidate).isExecutable())
            return QString();
    return candidates.first();
}

// The context that the engine's OpenGL contexts and Qt's drawing of its view share, which Qt
// makes at start-up for an application that sets Qt::AA_ShareOpenGLContexts: made on the
// engine's first start instead, so that start-up does not load the OpenGL driver. Where OpenGL
// cannot be had the context stays invalid, and the engine draws without it, as it would have.
void shareOpenGLContexts()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

// The engine library: beside the program (Windows), else in the library folder of the tree the
// program runs from, wherever that tree was installed or moved to.
CreateBrowserEngineFunction loadEngine(QString *error)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QStringList dirs = {
        programDir, QDir::cleanPath(programDir + QStringLiteral("/" ORVIK_ENGINE_RELATIVE_DIR))};
    for (const QString &dir : dirs) {
        QLibrary library(dir + QStringLiteral("/orvik_engine"));
        if (!library.load()) {
            *error = library.errorString();
            continue;
        }
        if (auto create = reinterpret_cast<CreateBrowserEngineFunction>(
                library.resolve(kCreateBrowserEngineSymbol)))
            return create;
        *error = library.errorString();
    }
    return nullptr;
}

} // namespace

BrowserView::BrowserView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("webBrowser"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

BrowserView::~BrowserView() = default;

void BrowserView::startEngine()
{
    const QString missing = missingHelperProgram();
    if (!missing.isEmpty())
        throw EHostError(
            QStringLiteral("Cannot start the browser view: %1 is missing").arg(missing));
    shareOpenGLContexts();
    QString error;
    const CreateBrowserEngineFunction create = loadEngine(&error);
    if (!create)
        throw EHostError(QStringLiteral("Cannot start the browser view: %1").arg(error));
    m_engine.reset(create(this));
    m_engine->OnLoadFinished = [this](bool ok) { emit LoadFinished(ok); };
    layout()->addWidget(m_engine->widget());
}

void BrowserView::Navigate(const QString &path)
{
    showPreview(path, std::nullopt);
}

void BrowserView::showPreview(const QString &path, const std::optional<QByteArray> &bytes)
{
    if (path.isEmpty())
        throw EHostError(QStringLiteral("Cannot show an empty path in the browser view"));
    if (!m_engine)
        startEngine();
    const QString file = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (!m_engine->navigate(file, bytes))
        throw EHostError(QStringLiteral("Cannot show %1 in the browser view").arg(path));
}
