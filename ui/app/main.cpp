#include "core/shell/registration.h"
#include "ui/app/trakly_app.h"

int main(int argc, char** argv) {
  // The registration switches end the program before a window system is needed.
  if (const auto code = vx::ui::HandleRegistrationSwitch(argc, argv)) return *code;
#ifdef _WIN32
  vx::MarkProgramRunning();
#endif
  vx::ui::CTRAKLYApp app(argc, argv);
  if (const auto code = app.InitInstance()) return *code;
  return app.exec();
}
