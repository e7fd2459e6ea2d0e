// The tab strip tabFileList: tabs along the bottom, with the editing surface in its client area.
#pragma once

#include <QWidget>
#include <functional>

class Guard;
class QTabBar;

class TabStrip : public QWidget
{
    Q_OBJECT
public:
    TabStrip(Guard &guard, QWidget *parent);

    QTabBar *bar() const { return m_bar; }

    int count() const;
    QString tab(int index) const;
    void add(const QString &caption);
    // Fails with "Failed to set tab "%s" at index %d" for an index that does not exist.
    void setTab(int index, const QString &caption);
    // Fails with "Failed to delete tab at index %d" for an index that does not exist.
    void deleteTab(int index);
    // -1 when no tab is selected.
    int tabIndex() const;
    // Selects a tab without raising OnChanging or OnChange.
    void setTabIndex(int index);

    // A user's switch raises OnChanging while the old tab is still selected, then OnChange.
    std::function<void(bool &allowChange)> OnChanging;
    std::function<void()> OnChange;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void onCurrentChanged(int index);
    void silently(const std::function<void()> &fn);
    void placeBar();

    Guard &m_guard;
    QTabBar *m_bar;
    int m_selected = -1;
    int m_programmatic = 0;
};
