#include "ui/app/trakly_app.h"

int main(int argc, char** argv) {
  // The registration switches end the program before a window system is needed.
  if (const auto code = vx::ui::HandleRegistrationSwitch(argc, argv)) return *code;
  vx::ui::CTRAKLYApp app(argc, argv);
  if (const auto code = app.InitInstance()) return *code;
  return app.exec();
}
