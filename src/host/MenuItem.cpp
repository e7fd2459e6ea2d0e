#include "host/MenuItem.h"

#include "host/Guard.h"

#include <QAction>

MenuItem::MenuItem(QAction *action, Guard &guard) : m_action(action)
{
    QObject::connect(action, &QAction::triggered, action, [this, &guard] {
        // The check mark is the handler's to change, not the toolkit's.
        if (m_action->isCheckable())
            m_action->setChecked(!m_action->isChecked());
        guard.run([this] { Click(); });
    });
}

void MenuItem::Click()
{
    if (OnClick)
        OnClick();
}

bool MenuItem::Checked() const
{
    return m_action->isChecked();
}

void MenuItem::setChecked(bool checked)
{
    m_action->setChecked(checked);
}

bool MenuItem::Enabled() const
{
    return m_action->isEnabled();
}
