#pragma once
// The pictures and Qt's Chinese catalogue are compiled into the static vxui library, whose resource
// tables the linker would drop unless something refers to them; every class that shows a picture calls
// this first, and so does the application before it loads the catalogue.

#include <QIcon>

namespace vx::ui {
void EnsureResources();
// The program's icon at 64 and 256 pixels: a window or task bar at any scale takes the nearer one.
QIcon ProgramIcon();
}  // namespace vx::ui
