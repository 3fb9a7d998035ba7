#pragma once
// What the window tests share: a start folder with REC.re naming a MUSIC folder filled by the fixture
// builders, and small readers for what the window shows.

#include <QApplication>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

#include "fixtures.h"
#include "io/file_io.h"
#include "library/scan.h"

namespace vx::ui::testing {

class StartFolder {
 public:
  StartFolder() {
    fixtures::WriteFile(Settings(),
                        fixtures::BuildSettingsFile(Music(), Path() + "/moved", Path() + "/images"));
  }
  std::string Path() const { return m_dir.path().toStdString(); }
  std::string Music() const { return Path() + "/MUSIC"; }
  std::string Settings() const { return Path() + "/REC.re"; }
  std::string Chart(int id) const { return ChartPath(Music(), id); }
  Bytes ChartBytes(int id) const { return ReadWholeFile(Chart(id)).value_or(Bytes{}); }
  Bytes SettingsBytes() const { return ReadWholeFile(Settings()).value_or(Bytes{}); }
  void AddSong(int id, const fixtures::ChartSpec& recipe, bool withMusic = true) const {
    fixtures::WriteSong(Music(), id, recipe, withMusic);
  }

 private:
  QTemporaryDir m_dir;
};

inline QImage Decoded(const Bytes& jpeg) {
  return QImage::fromData(jpeg.data(), static_cast<int>(jpeg.size()));
}

// Hands the modal dialog that the next call opens to `act`, then closes it if `act` left it open.
inline void WhenModalOpens(const std::function<void(QWidget*)>& act) {
  QTimer::singleShot(0, [act] {
    QPointer<QWidget> modal = QApplication::activeModalWidget();
    act(modal);
    if (modal && modal->isVisible()) modal->close();
  });
}

}  // namespace vx::ui::testing
