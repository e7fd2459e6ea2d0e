#include "host/FileDrop.h"

#include "host/Guard.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

FileDropTarget::FileDropTarget(Guard &guard, QWidget *window)
    : QObject(window), m_guard(guard), m_window(window)
{
    window->setAcceptDrops(true);
    // Watched application-wide: the text surface and the browser view take drops themselves
    // and would insert a file's name as text or show the file.
    qApp->installEventFilter(this);
}

QStringList FileDropTarget::localPaths(const QMimeData *data)
{
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl &url : data->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

bool FileDropTarget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    if (!watched->isWidgetType() || static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList paths = localPaths(drop->mimeData());
    if (paths.isEmpty())
        return false; // dragged text goes where it is dropped
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop) {
        // After the drop: a question or an error report waits for the user, and the program the
        // files came from should not wait with it.
        QTimer::singleShot(0, this, [this, paths] {
            for (const QString &path : paths)
                m_guard.run([&] {
                    if (OnDropFile)
                        OnDropFile(path);
                });
        });
    }
    return true;
}
