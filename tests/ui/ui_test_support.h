#pragma once
// What the window tests share: a start folder with REC.re naming a MUSIC folder filled by the fixture
// builders, a main window scanned over three songs, and small readers for what the window shows.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"
#include "tests/support/scripted_interaction.h"
#include "ui/app/main_frame.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

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

// A song with a title and a hard level, whose small cover's colours follow the level.
inline fixtures::ChartSpec SongWithHard(const char* utf8Title, std::uint16_t hard) {
  fixtures::ChartSpec recipe;
  recipe.title = Gbk(utf8Title);
  recipe.hard = hard;
  recipe.cover = fixtures::MakeJpeg(32, 16, hard);
  return recipe;
}

// A frame over songs 7 "星之海" (hard 5, no music file), 12 "Alpha" (hard 12) and 30 "Beta" (hard 18),
// shown and scanned.
struct ScannedFrame {
  StartFolder folder;
  fixtures::ScriptedInteraction ui;
  std::unique_ptr<CMainFrame> frame;

  ScannedFrame() {
    folder.AddSong(7, SongWithHard("星之海", 5), /*withMusic=*/false);
    folder.AddSong(12, SongWithHard("Alpha", 12));
    folder.AddSong(30, SongWithHard("Beta", 18));
    Start();
  }
  // A new frame on the same start folder, as the program's next start makes it.
  void Start() {
    frame = std::make_unique<CMainFrame>(folder.Path(), ui);
    frame->show();
    (void)QTest::qWaitForWindowExposed(frame.get());
    View()->OnScan();
    View()->WaitForScan();
  }
  CTRAKLYView* View() const { return frame->View(); }
  int RowOf(int id) const {
    const auto row = View()->Table().FindId(id);
    return row ? static_cast<int>(*row) : -1;
  }
  bool Ticked(int id) const {
    return View()->Model()->index(RowOf(id), 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
  }
  void Tick(int id) const {
    View()->Model()->setData(View()->Model()->index(RowOf(id), 0), Qt::Checked, Qt::CheckStateRole);
  }
  QList<int> HighlightedIds() const {
    QList<int> ids;
    for (const QModelIndex& index : View()->SongList()->selectionModel()->selectedRows())
      ids << View()->Model()->index(index.row(), kColId).data().toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  QString StatusBar() const { return frame->statusBar()->currentMessage(); }
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

// Drops `urls` (and `text`) on `target` as a drag from another program does: enter, then drop; the
// answers that come once the drop is over have come when this returns.
inline void Drop(QWidget* target, const QList<QUrl>& urls, const QString& text = {}) {
  QMimeData data;
  if (!urls.isEmpty()) data.setUrls(urls);
  if (!text.isEmpty()) data.setText(text);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &drop);
  QCoreApplication::processEvents();
}

}  // namespace vx::ui::testing
