#include "app/trakly_app.h"

int main(int argc, char** argv) {
  vx::ui::CTRAKLYApp app(argc, argv);
  if (const auto code = app.InitInstance()) return *code;
  return app.exec();
}
