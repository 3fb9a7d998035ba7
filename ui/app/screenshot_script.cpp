#include "ui/app/screenshot_script.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <array>
#include <filesystem>

#include "core/formats/song_files.h"
#include "core/history/history.h"
#include "core/io/file_io.h"
#include "core/library/library_check.h"
#include "core/library/scan.h"
#include "core/messages.h"
#include "core/operations/library_check_ops.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "ui/app/about_dlg.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/archive/image_archive_dlg.h"
#include "ui/common/qt_text.h"
#include "ui/library/folder_settings_dlg.h"
#include "ui/library/history_dlg.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/search_field.h"
#include "ui/library/song_list_menu.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

namespace vx::ui {
namespace {

const QString kQuery = QStringLiteral("hard:15-20 bpm:>100");

// Shows `window`, lets it paint, saves its picture as `name` in `folder` and closes it.
void Shoot(QWidget& window, const QString& folder, const char* name) {
  window.show();
  QCoreApplication::processEvents();
  window.grab().save(folder + u'/' + QString::fromLatin1(name));
  window.close();
}

// The three status marks on the first rows, each set as a person would: tick, choose, untick; then the
// third row clicked, its cover shown. Gives the clicked row.
std::size_t MarkAndClick(CTRAKLYView& view) {
  const std::array<void (CTRAKLYView::*)(), 3> marks = {
      &CTRAKLYView::OnStatusWeekly, &CTRAKLYView::OnStatusNewest, &CTRAKLYView::OnStatusPopular};
  for (std::size_t r = 0; r < marks.size() && r < view.Table().Size(); ++r) {
    const QModelIndex tick = view.Model()->index(static_cast<int>(r), 0);
    view.Model()->setData(tick, Qt::Checked, Qt::CheckStateRole);
    (view.*marks[r])();
    view.Model()->setData(tick, Qt::Unchecked, Qt::CheckStateRole);
  }
  const std::array<std::size_t, 1> row = {view.Table().Size() > 2 ? std::size_t{2} : std::size_t{0}};
  if (!view.Table().Empty()) {
    view.SelectRows(row);
    view.OnClickSongList();
  }
  return row[0];
}

// The right-click menu on `row`. It is a window of its own, so the screen is grabbed.
void ShootContextMenu(CMainFrame& frame, std::size_t row, const QString& folder) {
  CTRAKLYView& view = *frame.View();
  QTableView* list = view.SongList();
  const QPoint at = list->visualRect(view.Model()->index(static_cast<int>(row), kColTitle)).center();
  const auto menu = view.ContextMenu()->MenuAt(at);
  menu->popup(list->viewport()->mapToGlobal(at));
  QCoreApplication::processEvents();
  const QRect area = frame.frameGeometry().united(menu->geometry());
  frame.screen()
      ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
      .save(folder + QStringLiteral("/context_menu.png"));
  menu->close();
}

void ShootMainWindow(CMainFrame& frame, const QString& folder) {
  const std::size_t row = MarkAndClick(*frame.View());
  QCoreApplication::processEvents();
  frame.grab().save(folder + QStringLiteral("/main_window.png"));

  // The Down key on the table: the next song is highlighted, and the editor and the cover follow it.
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QCoreApplication::sendEvent(frame.View()->SongList(), &down);
  QCoreApplication::processEvents();
  frame.grab().save(folder + QStringLiteral("/editor_after_arrow.png"));

  // A query typed into the search field: its matches highlighted, their number in the status bar.
  frame.Search()->setText(kQuery);
  QCoreApplication::processEvents();
  frame.grab().save(folder + QStringLiteral("/search.png"));
  frame.Search()->clear();

  if (!frame.View()->Table().Empty()) ShootContextMenu(frame, row, folder);
}

// The cover import's chooser, in Chinese, where it starts: the MUSIC folder's parent.
void ShootFileChooser(CMainFrame& frame, const QString& folder) {
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kFilterJpeg), "*.jpg"}};
  request.defaultExtension = "jpg";
  QFileDialog chooser(&frame);
  chooser.setFileMode(QFileDialog::ExistingFile);
  SetUpFileDialog(chooser, request);
  chooser.setDirectory(QDir::current());
  Shoot(chooser, folder, "file_dialog.png");
}

void ShootLibraryCheck(CMainFrame& frame, Interaction& ui, const QString& folder) {
  SongTable table;
  OperationContext ctx{table, frame.View()->SettingsPath(), ui};
  const auto report = OnCheckLibrary(ctx).report;
  if (!report) return;
  CLibraryCheckDlg check(FromGbk(LibraryReportTextGbk(*report)), !ReportedIds(*report).empty(),
                         HasLeftoverTemporaries(*report), &frame);
  Shoot(check, folder, "library_check.png");
}

// The history dialog over a history of its own, so the demo library's charts are never touched: three
// songs kept as an edit, a cover import and a renumber would keep them.
void ShootHistory(CMainFrame& frame, const QString& folder) {
  const CTRAKLYView& view = *frame.View();
  const auto musicDir = ReadFolder(view.SettingsPath(), FolderSlot::kMusic);
  if (!musicDir || view.Table().Size() < 3) return;
  QTemporaryDir kept;
  History history(GbkPath(PathFromQt(kept.path())));
  const std::array<HistoryOperation, 3> operations = {
      HistoryOperation::kRenumber, HistoryOperation::kImportCover, HistoryOperation::kEdit};
  for (std::size_t r = 0; r < operations.size(); ++r) {
    const int id = view.Table().Row(r).Id();
    if (const auto chart = ReadWholeFile(ChartPath(*musicDir, id)))
      history.Record(*musicDir, id, operations[r], *chart,
                     operations[r] == HistoryOperation::kRenumber ? std::optional<int>(4000) : std::nullopt);
  }
  CHistoryDlg dialog([&history, &musicDir] { return history.Entries(*musicDir); }, &frame);
  dialog.List()->selectRow(0);
  Shoot(dialog, folder, "history.png");
}

// The folder settings, the About box and the archive browser.
void ShootDialogs(CMainFrame& frame, Interaction& ui, const QString& folder) {
  const std::string& settingsPath = frame.View()->SettingsPath();
  CFolderSettingsDlg settings(settingsPath, ui, &frame);
  Shoot(settings, folder, "folder_settings.png");

  CAboutDlg about(&frame);
  Shoot(about, folder, "about.png");

  // The demo library holds Playing.vpi beside REC.re; its background entry fills the preview.
  CImageArchiveDlg browser(settingsPath, ui, &frame);
  browser.OpenArchive(GbkPath(std::filesystem::current_path() / "Playing.vpi"));
  const std::array<int, 1> entry = {0};
  browser.SelectRows(entry);
  browser.OnClickEntryList();
  Shoot(browser, folder, "archive_browser.png");
  // Grown: the list takes the width, the preview the height.
  browser.resize(browser.size() + QSize(360, 240));
  Shoot(browser, folder, "archive_browser_resized.png");
}

}  // namespace

void RunScreenshotScript(CMainFrame& frame, Interaction& ui, const QString& folder) {
  QDir().mkpath(folder);
  frame.View()->OnScan();
  frame.View()->WaitForScan();
  ShootMainWindow(frame, folder);
  ShootFileChooser(frame, folder);
  ShootLibraryCheck(frame, ui, folder);
  ShootHistory(frame, folder);
  ShootDialogs(frame, ui, folder);
}

void RunMaximizedScreenshot(CMainFrame& frame, const QString& folder) {
  QDir().mkpath(folder);
  CTRAKLYView* view = frame.View();
  view->OnScan();
  view->WaitForScan();
  frame.showMaximized();
  QCoreApplication::processEvents();
  // Without a window manager (a bare Xvfb) nobody maximizes; the window takes the screen itself.
  const QRect available = frame.screen()->availableGeometry();
  if (frame.frameGeometry().size() != available.size()) frame.setGeometry(available);
  QCoreApplication::processEvents();
  frame.grab().save(folder + QStringLiteral("/maximized.png"));
  // Some songs ticked, a few of them then hidden by the filter, so the status bar has both counts.
  for (std::size_t r = 0; r < view->Table().Size(); r += 97)
    view->Model()->setData(view->Model()->index(static_cast<int>(r), 0), Qt::Checked, Qt::CheckStateRole);
  frame.Search()->setText(kQuery);
  frame.MatchesOnly()->setChecked(true);
  QCoreApplication::processEvents();
  frame.grab().save(folder + QStringLiteral("/maximized_filtered.png"));
}

}  // namespace vx::ui
