#pragma once
// The pictures are compiled into the static vxui library, whose resource table the linker would drop
// unless something refers to it; every class that shows a picture calls this first.

namespace vx::ui {
void EnsureResources();
}
