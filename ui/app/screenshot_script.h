#pragma once
// Scripted pictures of the window for tools/screenshot: the window in the demo library with the
// dialogs a person meets, and the window maximized over a large library with only the matches shown.

#include <QString>

#include "core/interaction.h"

namespace vx::ui {

class CMainFrame;

// After a scan: the main window with status marks and a clicked row, a search, the right-click menu,
// the cover import's chooser, the library check, the history, the folder settings, the About box and the
// archive browser, each saved into `folder`.
void RunScreenshotScript(CMainFrame& frame, Interaction& ui, const QString& folder);

// The window maximized as it opens, then with some songs ticked, a query typed and "只显示匹配" on, saved
// into `folder`.
void RunMaximizedScreenshot(CMainFrame& frame, const QString& folder);

}  // namespace vx::ui
