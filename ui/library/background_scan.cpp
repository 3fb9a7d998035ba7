#include "ui/library/background_scan.h"

#include <utility>

namespace vx::ui {

BackgroundScan::BackgroundScan(SongTable table, std::string gbkSettingsPath, QObject* parent)
    : QObject(parent), m_table(std::move(table)), m_settingsPath(std::move(gbkSettingsPath)) {}

void BackgroundScan::Start() {
  m_thread = std::jthread([this, pause = afterProgressForTests](std::stop_token stop) {
    const auto progress = [this, &pause](int done, int total) {
      emit Progress(done, total);
      if (pause) pause(done, total);
    };
    m_outcome = vx::OnScan(m_table, m_settingsPath, progress, stop);
    emit Finished();
  });
}

BackgroundScan::~BackgroundScan() {
  Stop();
  Wait();
}

void BackgroundScan::Wait() {
  if (m_thread.joinable()) m_thread.join();
}

}  // namespace vx::ui
