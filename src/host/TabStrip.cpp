#include "host/TabStrip.h"

#include "host/Guard.h"
#include "util/HostError.h"

#include <QTabBar>

TabStrip::TabStrip(Guard &guard, QWidget *parent)
    : QWidget(parent), m_guard(guard), m_bar(new QTabBar(this))
{
    setObjectName(QStringLiteral("tabFileList"));
    m_bar->setObjectName(QStringLiteral("tabFileListBar"));
    m_bar->setShape(QTabBar::RoundedSouth);
    m_bar->setExpanding(false);
    m_bar->setUsesScrollButtons(true);
    m_bar->setDocumentMode(true);
    m_bar->setElideMode(Qt::ElideNone);
    m_bar->setFocusPolicy(Qt::NoFocus);
    connect(m_bar, &QTabBar::currentChanged, this, &TabStrip::onCurrentChanged);
}

void TabStrip::silently(const std::function<void()> &fn)
{
    ++m_programmatic;
    fn();
    --m_programmatic;
    m_selected = m_bar->currentIndex();
}

void TabStrip::onCurrentChanged(int index)
{
    if (m_programmatic)
        return;
    // The bar has already moved; put the old tab back so that OnChanging sees it selected.
    const int previous = m_selected;
    silently([&] { m_bar->setCurrentIndex(previous); });
    m_guard.run([&] {
        bool allow = true;
        if (OnChanging)
            OnChanging(allow);
        if (!allow)
            return;
        silently([&] { m_bar->setCurrentIndex(index); });
        if (OnChange)
            OnChange();
    });
}

int TabStrip::count() const
{
    return m_bar->count();
}

QString TabStrip::tab(int index) const
{
    return m_bar->tabText(index);
}

void TabStrip::add(const QString &caption)
{
    silently([&] { m_bar->addTab(caption); });
}

void TabStrip::setTab(int index, const QString &caption)
{
    if (index < 0 || index >= count())
        throw EHostError(
            QStringLiteral("Failed to set tab \"%1\" at index %2").arg(caption).arg(index));
    m_bar->setTabText(index, caption);
}

void TabStrip::deleteTab(int index)
{
    if (index < 0 || index >= count())
        throw EHostError(QStringLiteral("Failed to delete tab at index %1").arg(index));
    silently([&] { m_bar->removeTab(index); });
}

int TabStrip::tabIndex() const
{
    return m_bar->currentIndex();
}

void TabStrip::setTabIndex(int index)
{
    silently([&] { m_bar->setCurrentIndex(index); });
}

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeBar();
}

void TabStrip::placeBar()
{
    // The tabs take the strip's bottom edge, below the client area.
    const int h = m_bar->sizeHint().height();
    m_bar->setGeometry(0, std::max(0, height() - h), width(), h);
    m_bar->raise();
}
