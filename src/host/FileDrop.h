// Files and folders dropped anywhere onto a window, the text surface included.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class Guard;
class QMimeData;
class QWidget;

class FileDropTarget : public QObject
{
    Q_OBJECT
public:
    FileDropTarget(Guard &guard, QWidget *window);

    // Raised for each dropped path in turn, once the drop is over, each through the guard: a
    // path that fails is reported and the next one still comes.
    std::function<void(const QString &path)> OnDropFile;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QStringList localPaths(const QMimeData *data);

    Guard &m_guard;
    QWidget *m_window;
};
