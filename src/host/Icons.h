// The pictures of the tool bar and menu: the desktop theme's icons, or our own drawings.
#pragma once

#include <QIcon>

enum class ToolIcon { New, Open, Save, SaveAll };

QIcon ToolBarIcon(ToolIcon which);

// The program's own icon, the one its desktop entry names, for the main window.
QIcon ApplicationIcon();

// The standard pictures the window shows at start-up, drawn here: loading Qt's own from their
// image files makes Qt load every image-format plugin first, which slows start-up.
QIcon StartupStandardIcon(int standardPixmap);
