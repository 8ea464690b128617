// The pictures of the toolbar's buttons: the icon theme's where the desktop has one, else the
// program's own, drawn at the size the screen shows them, so that they stay sharp at any zoom.
#pragma once

#include <QIcon>

enum class ToolPicture { Open, Save, Graph, Exit };

QIcon ToolIcon(ToolPicture picture);
