// The pictures of the tool bar and menu, drawn here: looking them up in the desktop's icon theme
// costs a quarter of start-up.
#pragma once

#include <QIcon>

enum class ToolIcon { New, Open, Save, SaveAll };

QIcon ToolBarIcon(ToolIcon which);

// The program's own icon, the one its desktop entry names, for the main window.
QIcon ApplicationIcon();

// The standard pictures the window shows at start-up, drawn here: loading Qt's own from their
// image files makes Qt load every image-format plugin first, which slows start-up.
QIcon StartupStandardIcon(int standardPixmap);
