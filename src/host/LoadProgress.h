// Progress of a long file read in the window's status bar: bytes read and a Cancel button.
#pragma once

#include <QObject>
#include <QtGlobal>

class QLabel;
class QMainWindow;
class QProgressBar;
class QPushButton;
class QWidget;

class LoadProgress : public QObject
{
    Q_OBJECT
public:
    explicit LoadProgress(QMainWindow &window);

    // Shows the bar on the first call; the window keeps painting and answers only Cancel while
    // a read runs. Returns false once Cancel was pressed.
    bool step(const QString &path, qint64 read, qint64 total);
    // Hides the bar and gives the window back to the user.
    void finish();
    // Presses Cancel, as the user would.
    void cancel() { m_cancelled = true; }
    bool running() const { return m_running; }

private:
    QMainWindow &m_window;
    QWidget *m_box;
    QLabel *m_label;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    bool m_running = false;
    bool m_cancelled = false;
};
