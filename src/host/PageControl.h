// The page control pgpEditor: pages chosen by tabs along the top, each page sized by the layout
// rule.
#pragma once

#include <QWidget>
#include <functional>

class Guard;
class QTabBar;

class PageControl : public QWidget
{
    Q_OBJECT
public:
    PageControl(Guard &guard, QWidget *parent);

    QTabBar *bar() const { return m_bar; }
    // Adds a page; its caption may carry a mnemonic ("&Edit").
    QWidget *addPage(const QString &objectName, const QString &caption);
    QWidget *activePage() const;
    // Shows a page without raising OnChange; a user's switch raises it.
    void setActivePage(QWidget *page);

    std::function<void()> OnChange;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void showPage(int index);

    Guard &m_guard;
    QTabBar *m_bar;
    QList<QWidget *> m_pages;
    int m_programmatic = 0;
};
