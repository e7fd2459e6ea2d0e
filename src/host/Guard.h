// The one place where an exception escaping a handler becomes the general error report.
#pragma once

#include <functional>

class Dialogs;

class Guard
{
public:
    explicit Guard(Dialogs &dialogs) : m_dialogs(dialogs) { }
    // Runs fn; an escaping error is shown and swallowed, so nothing unwinds into the event loop.
    void run(const std::function<void()> &fn) noexcept;
    Dialogs &dialogs() { return m_dialogs; }

private:
    Dialogs &m_dialogs;
};
