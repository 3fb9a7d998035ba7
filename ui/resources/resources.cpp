#include "ui/resources/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function in the global namespace.
static void InitVxuiResources() {
  Q_INIT_RESOURCE(resources);
  Q_INIT_RESOURCE(translations);
}

namespace vx::ui {

void EnsureResources() {
  static const bool done = (InitVxuiResources(), true);
  (void)done;
}

}  // namespace vx::ui

namespace vx::ui {

QIcon ProgramIcon() {
  EnsureResources();
  QIcon icon(QStringLiteral(":/pictures/icon.png"));
  icon.addFile(QStringLiteral(":/pictures/icon_256.png"));
  return icon;
}

}  // namespace vx::ui
