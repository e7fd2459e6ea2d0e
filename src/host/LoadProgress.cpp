#include "host/LoadProgress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

LoadProgress::LoadProgress(QMainWindow &window)
    : QObject(&window),
      m_window(window),
      m_box(new QWidget),
      m_label(new QLabel(m_box)),
      m_bar(new QProgressBar(m_box)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), m_box))
{
    m_box->setObjectName(QStringLiteral("loadProgress"));
    m_cancel->setObjectName(QStringLiteral("loadCancel"));
    m_bar->setRange(0, 1000);
    auto *layout = new QHBoxLayout(m_box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel);
    m_window.statusBar()->addWidget(m_box, 1);
    m_box->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelled = true; });
}

bool LoadProgress::step(const QString &path, qint64 read, qint64 total)
{
    if (!m_running) {
        m_running = true;
        m_cancelled = false;
        // Nothing else of the window may act on the documents while one is half read.
        for (QWidget *part : {m_window.centralWidget(), static_cast<QWidget *>(m_window.menuBar())})
            if (part)
                part->setEnabled(false);
        m_box->show();
        m_cancel->setFocus();
    }
    const QLocale locale;
    m_label->setText(
        QStringLiteral("Opening %1: %2 of %3 bytes")
            .arg(QFileInfo(path).fileName(), locale.toString(read), locale.toString(total)));
    m_bar->setValue(total > 0 ? int(std::min<qint64>(read, total) * 1000 / total) : 0);
    QCoreApplication::processEvents();
    return !m_cancelled;
}

void LoadProgress::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_box->hide();
    for (QWidget *part : {m_window.centralWidget(), static_cast<QWidget *>(m_window.menuBar())})
        if (part)
            part->setEnabled(true);
}
