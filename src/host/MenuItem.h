// A menu item: Click runs its handler as a user's click would, Checked shows a check mark.
#pragma once

#include <QString>
#include <functional>

class Guard;
class QAction;

class MenuItem
{
public:
    MenuItem(QAction *action, Guard &guard);

    QAction *action() const { return m_action; }
    // Runs the handler directly: an error travels to the caller, not to the error report.
    void Click();
    bool Checked() const;
    void setChecked(bool checked);
    bool Enabled() const;

    std::function<void()> OnClick;

private:
    QAction *m_action;
};
