#include "host/PageControl.h"

#include "host/Guard.h"

#include <QTabBar>

PageControl::PageControl(Guard &guard, QWidget *parent)
    : QWidget(parent), m_guard(guard), m_bar(new QTabBar(this))
{
    setObjectName(QStringLiteral("pgpEditor"));
    m_bar->setObjectName(QStringLiteral("pgpEditorBar"));
    m_bar->setExpanding(false);
    m_bar->setDrawBase(true);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        showPage(index);
        if (m_programmatic)
            return;
        // As on a click, the keyboard goes to the tabs: never left in a hidden page, and
        // never handed to the browser view, which would keep the menus' keys to itself.
        m_bar->setFocus(Qt::TabFocusReason);
        if (OnChange)
            m_guard.run([this] { OnChange(); });
    });
}

QWidget *PageControl::addPage(const QString &objectName, const QString &caption)
{
    auto *page = new QWidget(this);
    page->setObjectName(objectName);
    page->setAutoFillBackground(true);
    m_pages.append(page);
    ++m_programmatic;
    m_bar->addTab(caption);
    --m_programmatic;
    showPage(m_bar->currentIndex());
    return page;
}

QWidget *PageControl::activePage() const
{
    const int i = m_bar->currentIndex();
    return i >= 0 && i < m_pages.size() ? m_pages[i] : nullptr;
}

void PageControl::setActivePage(QWidget *page)
{
    const int index = m_pages.indexOf(page);
    if (index < 0)
        return;
    ++m_programmatic;
    m_bar->setCurrentIndex(index);
    --m_programmatic;
    showPage(index);
}

void PageControl::showPage(int index)
{
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(i == index);
}

void PageControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int h = m_bar->sizeHint().height();
    m_bar->setGeometry(0, 0, width(), h);
    // The pages sit under the tabs; their sizes come from the window's layout rule.
    for (QWidget *page : std::as_const(m_pages))
        page->move(3, h);
}
