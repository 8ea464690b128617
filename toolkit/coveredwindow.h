// A window shown at start behind the others leaves its painting until the user can see it.
#pragma once

#include <vector>

class QWidget;

namespace toolkit {

// Shows a window maximised without activating it, so that a window shown after it comes on top
// and is the active one: the help and analysis windows made at start open so, behind the main
// window. Under X, the window is painted only once the X server reports part of it visible:
// a window that stays covered by the main window costs neither the paint nor its picture's
// memory until the user brings it forward, and then it paints as it would have at start.
// The `shownWhenSeen` children wait for that moment hidden, so that they lay out nothing before
// they are needed, and are shown right before the window's first paint; elsewhere they are shown
// with the window.
void ShowMaximizedBehind(QWidget& window, const std::vector<QWidget*>& shownWhenSeen = {});

} // namespace toolkit
