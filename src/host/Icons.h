// The pictures of the tool bar and menu: the desktop theme's icons, or our own drawings.
#pragma once

#include <QIcon>

enum class ToolIcon { New, Open, Save, SaveAll };

QIcon ToolBarIcon(ToolIcon which);
