#include "host/EditorStyle.h"

#include "host/Icons.h"

QIcon EditorStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                const QWidget *widget) const
{
    const QIcon drawn = StartupStandardIcon(standardIcon);
    return drawn.isNull() ? QProxyStyle::standardIcon(standardIcon, option, widget) : drawn;
}
