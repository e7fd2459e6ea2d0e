#include "host/Guard.h"

#include "host/Dialogs.h"
#include "util/HostError.h"

void Guard::run(const std::function<void()> &fn) noexcept
{
    QString message;
    try {
        fn();
        return;
    } catch (const EHostError &e) {
        message = e.message();
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        m_dialogs.showErrorReport(ErrorReportText(message));
    } catch (...) {
        // A report that cannot be shown must still not unwind into the event loop.
    }
}
