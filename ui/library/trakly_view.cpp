#include "ui/library/trakly_view.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

#include "core/formats/cover.h"
#include "core/library/library_check.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/messages.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/library_check_ops.h"
#include "core/operations/open_song_list.h"
#include "core/operations/song_numbers.h"
#include "core/operations/status_marks.h"
#include "core/operations/text_lists.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "ui/common/qt_text.h"
#include "ui/library/cover_frame.h"
#include "ui/library/cover_preview.h"
#include "ui/library/folder_settings_dlg.h"
#include "ui/library/history_dlg.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/library_texts.h"
#include "ui/library/song_list_drops.h"
#include "ui/library/song_list_filter.h"
#include "ui/library/song_list_keys.h"
#include "ui/library/song_list_menu.h"
#include "ui/library/song_list_view.h"
#include "ui/library/song_search.h"
#include "ui/library/song_table_model.h"
#include "ui/resources/resources.h"

namespace vx::ui {

CTRAKLYView::CTRAKLYView(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent)
    : QWidget(parent),
      m_model(new SongTableModel(m_table, this)),
      m_ui(ui),
      m_strSettingsPath(SettingsPathIn(gbkStartFolder)),
      m_form(this, m_model) {
  EnsureResources();
  m_preview = new ui::CoverPreview(
      m_form.Cover(), m_table, m_strSettingsPath, m_ui, [this] { return HistoryForRun(); }, this);
  ConnectForm();
  EnsureSettingsFile(m_strSettingsPath);
  UpdateData(false);
}

CTRAKLYView::~CTRAKLYView() = default;

void CTRAKLYView::ConnectForm() {
  connect(m_form.SelectAll(), &QCheckBox::clicked, this, &CTRAKLYView::OnSelectAll);
  connect(m_form.CalcListSize(), &QPushButton::clicked, this, &CTRAKLYView::OnCalcListSize);
  connect(m_form.FolderSettings(), &QPushButton::clicked, this, &CTRAKLYView::OnFolderSettings);
  connect(m_form.Scan(), &QPushButton::clicked, this, &CTRAKLYView::OnScan);
  ConnectSongList();
  connect(m_form.Save(), &QPushButton::clicked, this, &CTRAKLYView::OnSaveSong);
}

void CTRAKLYView::ConnectSongList() {
  SongListView* list = m_form.List();
  connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, &CTRAKLYView::OnColumnclickSongList);
  connect(list, &QTableView::clicked, this, &CTRAKLYView::OnClickSongList);
  list->installEventFilter(this);
  auto* keys = new SongListKeys(list);
  connect(keys, &SongListKeys::TickToggleRequested, this, &CTRAKLYView::OnSpaceSongList);
  connect(keys, &SongListKeys::HighlightJumped, this, [this](int row) {
    if (row >= 0) m_preview->Show(static_cast<std::size_t>(row));
  });
  m_search = new SongSearch(list, m_model, m_table, this);
  connect(m_search, &SongSearch::StatusMessage, this, &CTRAKLYView::StatusMessage);
  connect(m_search, &SongSearch::TickSummary, this, &CTRAKLYView::TickSummary);
  auto* drops = new SongListDrops(list);
  // Answered once the drop is over, like a picture dropped on the cover.
  connect(drops, &SongListDrops::SongsDropped, this, &CTRAKLYView::OnSongsDropped, Qt::QueuedConnection);
  m_menu = new SongListMenu(list);
  connect(m_menu, &SongListMenu::OpenFolderRequested, this, &CTRAKLYView::OnOpenContainingFolder);
}

QTableView* CTRAKLYView::SongList() const {
  return m_form.List();
}

void CTRAKLYView::SetRestSize(QSize rest) {
  m_form.SetRestSize(rest);
}

void CTRAKLYView::SetContextCommands(QList<QAction*> commands) {
  m_menu->SetCommands(std::move(commands));
}

void CTRAKLYView::RestoreSort(SortKey sort) {
  if (sort.column < kColId || sort.column > kColTime) return;
  // The next click on the column goes the other way, as if the person had just made this sort.
  if (m_table.NextAscending(sort.column) == sort.ascending) m_table.FlipNextAscending(sort.column);
  m_lastSort = sort;
  m_sortOnNextScan = true;
}

void CTRAKLYView::UpdateData(bool fromForm) {
  if (fromForm)
    m_fields = m_form.Read();
  else
    m_form.Show(m_fields);
}

std::vector<std::size_t> CTRAKLYView::SelectedRows() const {
  std::vector<std::size_t> rows;
  // A hidden row can still be inside a highlighted range; what is not shown is not chosen.
  for (const QModelIndex& index : m_form.List()->selectionModel()->selectedRows())
    if (!m_search->Filter()->Hides(static_cast<std::size_t>(index.row())))
      rows.push_back(static_cast<std::size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CTRAKLYView::SelectRows(std::span<const std::size_t> rows) {
  m_form.List()->SelectRows(rows);
}

template <typename Operation>
auto CTRAKLYView::Run(Operation&& operation) {
  // On a copy: an operation may shrink its table before its last message box, and the list repaints
  // behind that box, so the list must keep seeing the rows it knows until the result is applied.
  SongTable working = m_table;
  OperationContext ctx{working, m_strSettingsPath, m_ui, HistoryForRun()};
  auto result = operation(ctx);
  Apply(std::move(working), result.change);
  return result;
}

void CTRAKLYView::OnFolderSettings() {
  const auto musicBefore = ReadMusicFolder();
  CFolderSettingsDlg dialog(m_strSettingsPath, m_ui, this);
  dialog.exec();
  // The song in the editor belongs to the folder it was loaded from; a save must not follow it elsewhere.
  if (ReadMusicFolder() != musicBefore) m_editTarget.reset();
}

void CTRAKLYView::OnScan() {
  QElapsedTimer timer;
  timer.start();
  const ScanProgress progress = m_form.StartScanProgress();
  // A scan makes a new table, perhaps of another folder: the song loaded into the editor is forgotten,
  // so a save can never write into a chart the person has left or relabel a row of the new table.
  m_editTarget.reset();
  std::optional<ScanOutcome> outcome;
  m_model->ResetWith([&] {
    outcome = vx::OnScan(m_table, m_strSettingsPath, progress);
    // The first scan of a start comes in the order the last session left.
    if (outcome && m_sortOnNextScan && m_lastSort)
      SortTable(m_table, m_lastSort->column, m_lastSort->ascending);
    if (outcome) m_sortOnNextScan = false;
  });
  if (!outcome) return;
  m_form.FinishScanProgress();
  m_fields.folderSongs = static_cast<int>(outcome->songCount);
  UpdateData(false);
  if (outcome->folderUnreadable) {
    emit StatusMessage(FromUtf8(msg::kScanFolderUnreadable) + FromGbk(outcome->musicDir));
    return;
  }
  emit StatusMessage(FromUtf8(msg::kScanSummaryFound) + QString::number(outcome->songCount) +
                     FromUtf8(msg::kScanSummarySongs) +
                     QString::number(static_cast<double>(timer.elapsed()) / 1000.0, 'f', 3) +
                     FromUtf8(msg::kScanSummarySeconds));
}

void CTRAKLYView::OnCalcListSize() {
  UpdateData(true);
  m_fields.listSizeKB = ListSizeKB(m_table);
  UpdateData(false);
}

void CTRAKLYView::OnSelectAll() {
  if (m_table.Empty()) return;
  UpdateData(true);
  m_table.SetAllTicked(m_fields.selectAll);
  m_model->AllRowsChanged();
  UpdateData(false);
}

void CTRAKLYView::OnColumnclickSongList(int column) {
  if (m_table.Empty()) return;
  const std::vector<std::size_t> selected = SelectedRows();
  HeaderClickResult result;
  m_model->ReorderWith([&] {
    result = OnHeaderClick(m_table, column, selected);
    return result.order;
  });
  if (result.ticksChanged) m_model->AllRowsChanged();
  if (!result.order.empty()) m_lastSort = SortKey{column, !m_table.NextAscending(column)};
  // As the form always has: the fields show the held texts again, dropping what was typed since.
  UpdateData(false);
}

std::optional<std::string> CTRAKLYView::ReadMusicFolder() const {
  return ReadFolder(m_strSettingsPath, FolderSlot::kMusic);
}

void CTRAKLYView::OnClickSongList() {
  UpdateData(true);
  const std::vector<std::size_t> selected = SelectedRows();
  const auto row = m_table.Empty() ? std::nullopt : SoleSelectedRow(selected);
  std::optional<std::string> musicDir;
  if (row) {
    m_fields.title = FromGbk(m_table.Cell(*row, kColTitle));
    m_fields.easy = FromGbk(m_table.Cell(*row, kColEasy));
    m_fields.normal = FromGbk(m_table.Cell(*row, kColNormal));
    m_fields.hard = FromGbk(m_table.Cell(*row, kColHard));
    // The save goes to this song in the folder read now, wherever its row stands by then.
    musicDir = ReadMusicFolder();
    m_editTarget = SongEditTarget{m_table.Row(*row).Id(), musicDir.value_or(std::string())};
  }
  UpdateData(false);
  if (!row) return;
  if (musicDir)
    m_preview->ShowFrom(*musicDir, *row);
  else
    m_preview->ShowNone(*row);
}

void CTRAKLYView::OnKeydownSongList(int qtKey) {
  if (qtKey != Qt::Key_Up && qtKey != Qt::Key_Down) return;
  const bool up = qtKey == Qt::Key_Up;
  auto row = CoverRowForArrowKey(up ? ArrowKey::kUp : ArrowKey::kDown, SelectedRows(), m_table.Size());
  // The highlight steps over hidden rows, and the cover goes where the highlight goes.
  while (row && m_search->Filter()->Hides(*row))
    row = up ? (*row > 0 ? std::optional(*row - 1) : std::nullopt)
             : (*row + 1 < m_table.Size() ? std::optional(*row + 1) : std::nullopt);
  if (row) m_preview->Show(*row);
}

void CTRAKLYView::OnSaveSong() {
  UpdateData(true);
  const SongEdits edits{m_fields.title.toStdString(), m_fields.easy.toStdString(),
                        m_fields.normal.toStdString(), m_fields.hard.toStdString()};
  Run([&](OperationContext& ctx) { return vx::OnSaveSong(ctx, m_editTarget, edits); });
}

bool CTRAKLYView::eventFilter(QObject* watched, QEvent* event) {
  // The arrow key is seen before the table moves its highlight, so the cover shown is the neighbour's.
  if (watched == m_form.List() && event->type() == QEvent::KeyPress)
    OnKeydownSongList(static_cast<QKeyEvent*>(event)->key());
  return QWidget::eventFilter(watched, event);
}

void CTRAKLYView::OnOpenSongList() {
  // Reopening sets ticks and 状态 cells in place; rows keep their places, so the highlight stays too.
  Run([](OperationContext& ctx) { return vx::OnOpenSongList(ctx); });
}

void CTRAKLYView::OnCheckLibrary() {
  OperationContext ctx = Context();
  const std::optional<LibraryReport> report = vx::OnCheckLibrary(ctx).report;
  if (!report) return;
  const std::string musicDir = ReadMusicFolder().value_or(std::string());
  const std::set<int> ids = ReportedIds(*report);
  // The check reads the folder, not the table: before a scan, or after songs came in since, the report
  // can name songs the table does not hold, and a button that would tick none stays greyed.
  const bool canTick =
      std::any_of(ids.begin(), ids.end(), [this](int id) { return m_table.FindId(id).has_value(); });
  CLibraryCheckDlg dialog(FromGbk(LibraryReportTextGbk(*report)), canTick, HasLeftoverTemporaries(*report),
                          this);
  connect(&dialog, &CLibraryCheckDlg::RemoveLeftoversRequested, this, [this, &report, &musicDir] {
    // The leftovers are those of the folder just checked, whatever the settings say by now.
    OperationContext inChecked = Context();
    inChecked.folders = FolderSettings{musicDir, {}, {}};
    RemoveLeftoverTemporaries(inChecked, *report);
  });
  connect(&dialog, &CLibraryCheckDlg::TickRequested, this, [this, &ids] {
    const std::size_t ticked = TickIds(m_table, ids);
    m_model->AllRowsChanged();
    emit StatusMessage(FromUtf8(msg::kReportTicked) + QString::number(ticked) +
                       FromUtf8(msg::kQueryMatchesAfter));
  });
  dialog.exec();
}

void CTRAKLYView::OnTextList() {
  Run(&vx::OnTextList);
}

void CTRAKLYView::OnBatchText() {
  Run(&vx::OnBatchText);
}

void CTRAKLYView::OnGameList() {
  Run(&vx::OnGameList);
}

void CTRAKLYView::Apply(SongTable&& working, const TableChange& change) {
  if (change.Empty()) return;
  // What was typed into the editor stays through the redisplay.
  UpdateData(true);
  SongListView* list = m_form.List();
  const int top = list->rowAt(0);
  const std::vector<int> newPosition = m_model->Apply(std::move(working), change);
  // The song at the top of the list stays there, or the first one below it that remains.
  for (std::size_t old = top < 0 ? newPosition.size() : static_cast<std::size_t>(top);
       old < newPosition.size(); ++old)
    if (newPosition[old] >= 0) {
      list->scrollTo(m_model->index(newPosition[old], 0), QAbstractItemView::PositionAtTop);
      break;
    }
  m_fields.folderSongs = static_cast<int>(m_table.Size());
  UpdateData(false);
}

void CTRAKLYView::OnDeleteSongs() {
  Run(&vx::OnDeleteSongs);
}

void CTRAKLYView::OnMoveSongs() {
  Run(&vx::OnMoveSongs);
}

void CTRAKLYView::OnExportCovers() {
  Run(&vx::OnExportCovers);
}

void CTRAKLYView::OnImportCover() {
  if (Run(&vx::OnImportCover).outcome != Outcome::kDone) return;
  // A preview that still showed the replaced cover would tell the person the import did nothing.
  const std::vector<std::size_t> ticked = m_table.TickedRows();
  if (ticked.size() == 1 && m_preview->SongId() == m_table.Row(ticked.front()).Id())
    m_preview->Show(ticked.front());
}

void CTRAKLYView::OnStatusWeekly() {
  Run(&vx::OnStatusWeekly);
}
void CTRAKLYView::OnStatusNewest() {
  Run(&vx::OnStatusNewest);
}
void CTRAKLYView::OnStatusPopular() {
  Run(&vx::OnStatusPopular);
}
void CTRAKLYView::OnStatusClear() {
  Run(&vx::OnStatusClear);
}

void CTRAKLYView::OnSpaceSongList() {
  // As the 选中 header does with the highlighted rows, but the typed editor texts stay.
  const std::vector<std::size_t> selected = SelectedRows();
  if (selected.empty()) return;
  ToggleTicksOfSelected(m_table, selected);
  m_model->RowsChanged(static_cast<int>(selected.front()), static_cast<int>(selected.back()));
}

void CTRAKLYView::OnOpenContainingFolder(int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_table.Size()) return;
  const auto musicDir = ReadMusicFolder();
  if (!musicDir) return;  // no settings file: silent, as every command is
  if (musicDir->empty()) {
    m_ui.ShowMessage(Gbk(msg::kCheckFolders), Gbk(msg::kAppTitle));
    return;
  }
  if (!RevealInFileManager(QtPath(ChartPath(*musicDir, m_table.Row(static_cast<std::size_t>(row)).Id()))))
    m_ui.ShowMessage(Gbk(msg::kCannotOpenFolder) + *musicDir, Gbk(msg::kAppTitle));
}

History* CTRAKLYView::HistoryForRun() {
  return m_keepHistory ? &m_history : nullptr;
}

OperationContext CTRAKLYView::Context() {
  return OperationContext{m_table, m_strSettingsPath, m_ui, HistoryForRun()};
}

void CTRAKLYView::SetKeepHistory(bool on) {
  m_keepHistory = on;
}

void CTRAKLYView::OnInstallSongs() {
  FileDialogRequest request;
  request.filters = {{Gbk(kInstallFilter), "*.vxn"}};
  request.defaultExtension = "vxn";
  const std::vector<std::string> sources = m_ui.ChooseOpenFiles(request);
  if (!sources.empty()) InstallFrom(sources);
}

void CTRAKLYView::OnInstallFolder() {
  if (const auto folder = m_ui.ChooseFolder(Gbk(kInstallFolderPrompt))) InstallFrom({*folder});
}

void CTRAKLYView::OnInstallPack() {
  FileDialogRequest request;
  request.filters = {{Gbk(kInstallPackFilter), "*.zip *.7z *.rar"}};
  const std::vector<std::string> packs = m_ui.ChooseOpenFiles(request);
  if (!packs.empty()) InstallFrom(packs);
}

void CTRAKLYView::OnSongsDropped(const QStringList& localPaths) {
  std::vector<std::string> sources;
  for (const QString& path : localPaths) {
    // A name GBK cannot spell is named by the character it cannot hold, and nothing is installed.
    std::string unmappable;
    const std::string gbk = GbkPath(PathFromQt(path));
    if (gbk.empty() || !GbkFromUtf8(path.toStdString(), &unmappable)) {
      m_ui.ShowMessage(Gbk(msg::kPathUnmappable) + CodePointName(unmappable), Gbk(msg::kAppTitle));
      return;
    }
    sources.push_back(gbk);
  }
  InstallFrom(sources);
}

void CTRAKLYView::InstallFrom(const std::vector<std::string>& gbkSources) {
  const InstallOutcome result = Run([&](OperationContext& ctx) { return InstallSongs(ctx, gbkSources); });
  if (!result.songs.empty()) m_ui.ShowMessage(InstallReportTextGbk(result), Gbk(msg::kAppTitle));
}

void CTRAKLYView::OnRenumber() {
  const RenumberResult result =
      Run([this](OperationContext& ctx) { return vx::OnRenumber(ctx, SelectedRows()); });
  if (result.outcome != Outcome::kDone) return;
  // The editor's song keeps its row and its texts under its new number.
  if (m_editTarget && m_editTarget->songId == result.from) m_editTarget->songId = result.to;
  m_preview->Renumbered(result.from, result.to);
}

void CTRAKLYView::OnHistory() {
  const std::string musicDir = ReadMusicFolder().value_or(std::string());
  CHistoryDlg dialog(
      [this, musicDir] {
        return musicDir.empty() ? std::vector<HistoryEntry>{} : m_history.Entries(musicDir);
      },
      this);
  connect(&dialog, &CHistoryDlg::RestoreRequested, this, [this](const HistoryEntry& entry) {
    if (Run([&](OperationContext& ctx) { return RestoreHistoryEntry(ctx, m_history, entry); }).outcome ==
        Outcome::kDone)
      m_preview->Refresh();
  });
  dialog.exec();
}

void CTRAKLYView::OnUndoChange() {
  // The restored chart may be the one whose cover is on show.
  if (Run([this](OperationContext& ctx) { return OnUndoLastChange(ctx, m_history); }).outcome ==
      Outcome::kDone)
    m_preview->Refresh();
}

}  // namespace vx::ui
