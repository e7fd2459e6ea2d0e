// The application's style: the platform's own, with the start-up pictures drawn by us.
#pragma once

#include <QProxyStyle>

class EditorStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
