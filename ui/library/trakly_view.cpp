#include "ui/library/trakly_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "core/formats/cover.h"
#include "core/io/file_io.h"
#include "core/library/library_check.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/messages.h"
#include "core/operations/covers.h"
#include "core/operations/folder_check.h"
#include "core/operations/game_list.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/interrupted_work.h"
#include "core/operations/library_check_ops.h"
#include "core/operations/open_song_list.h"
#include "core/operations/song_numbers.h"
#include "core/operations/status_marks.h"
#include "core/operations/text_lists.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "ui/common/qt_text.h"
#include "ui/library/background_scan.h"
#include "ui/library/cover_frame.h"
#include "ui/library/cover_preview.h"
#include "ui/library/folder_settings_dlg.h"
#include "ui/library/history_dlg.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/library_texts.h"
#include "ui/library/save_choice_recorder.h"
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

// A scan still running is stopped and waited for with the BackgroundScan.
CTRAKLYView::~CTRAKLYView() = default;

void CTRAKLYView::ConnectForm() {
  connect(m_form.SelectAll(), &QCheckBox::clicked, this, &CTRAKLYView::OnSelectAll);
  connect(m_form.CalcListSize(), &QPushButton::clicked, this, &CTRAKLYView::OnCalcListSize);
  connect(m_form.FolderSettings(), &QPushButton::clicked, this, &CTRAKLYView::OnFolderSettings);
  connect(m_form.Scan(), &QPushButton::clicked, this, [this] { m_scan ? CancelScan() : OnScan(); });
  m_cancelScan = new QAction(this);
  m_cancelScan->setObjectName(QStringLiteral("cancelScan"));
  m_cancelScan->setShortcut(QKeySequence(Qt::Key_Escape));
  m_cancelScan->setShortcutContext(Qt::WindowShortcut);
  m_cancelScan->setEnabled(false);
  connect(m_cancelScan, &QAction::triggered, this, &CTRAKLYView::CancelScan);
  addAction(m_cancelScan);
  ConnectSongList();
  connect(m_form.Save(), &QPushButton::clicked, this, &CTRAKLYView::OnSaveSong);
  for (QLineEdit* field : m_form.EditorFields())
    connect(field, &QLineEdit::returnPressed, this, &CTRAKLYView::OnSaveSong);
}

void CTRAKLYView::ConnectSongList() {
  SongListView* list = m_form.List();
  connect(list->horizontalHeader(), &QHeaderView::sectionClicked, this, &CTRAKLYView::OnColumnclickSongList);
  connect(list, &QTableView::clicked, this, &CTRAKLYView::OnClickSongList);
  auto* keys = new SongListKeys(list);
  connect(keys, &SongListKeys::TickToggleRequested, this, &CTRAKLYView::OnSpaceSongList);
  connect(keys, &SongListKeys::HighlightJumped, this, &CTRAKLYView::OnHighlightMoved);
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
  KeepSort();
}

void CTRAKLYView::KeepSort() {
  if (!m_lastSort) return;
  if (!m_table.Empty()) SortTable(m_table, m_lastSort->column, m_lastSort->ascending);
  QHeaderView* header = m_form.List()->horizontalHeader();
  header->setSortIndicatorShown(true);
  header->setSortIndicator(m_lastSort->column,
                           m_lastSort->ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
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
  // "对以后的歌曲也这样做" holds for the clashes of this run only.
  m_ui.OperationEnded();
  Apply(std::move(working), result.change);
  return result;
}

void CTRAKLYView::OnFolderSettings() {
  const auto musicBefore = ReadMusicFolder();
  CFolderSettingsDlg dialog(m_strSettingsPath, m_ui, this);
  dialog.exec();
  const auto musicNow = ReadMusicFolder();
  if (musicNow == musicBefore) return;
  // The table shows the folder the settings name: another folder is read at once, and a folder that is
  // not there has no songs to show.
  if (musicNow && DirectoryExists(*musicNow)) {
    OnScan();
    return;
  }
  SettleEdits();
  m_model->ResetWith([this] { m_table.Clear(); });
  m_scannedFolder.reset();
  m_fields.folderSongs = 0;
  EmptyEditor();
  UpdateData(false);
}

void CTRAKLYView::ScanIfFolderExists() {
  const auto musicDir = ReadMusicFolder();
  if (musicDir && !musicDir->empty() && DirectoryExists(*musicDir)) OnScan();
}

bool CTRAKLYView::TableDescribesFolder() const {
  return m_scannedFolder && m_scannedFolder == ReadMusicFolder();
}

void CTRAKLYView::OnScan() {
  // F5 and every other way in wait for the scan under way; its button is the way to stop it.
  if (m_scan || !SettleEdits()) return;
  m_scanTimer.start();
  // Said before the table empties: a scan of no folder finds nothing, which is not the same as a folder
  // without songs.
  OperationContext ctx = Context();
  m_scanFolderReady = MusicFolderReady(ctx);
  RecoverInterruptedWork(Context());
  // The table keeps its rows, ticks and order until the scan's rows take their place, so a scan stopped
  // halfway changes nothing.
  m_scan = std::make_unique<BackgroundScan>(m_table, m_strSettingsPath);
  BackgroundScan* scan = m_scan.get();
  connect(scan, &BackgroundScan::Progress, scan, [this, scan](int done, int total) {
    if (m_scan.get() != scan) return;
    m_form.ShowScanProgress(done, total);
    emit StatusMessage(FromUtf8(msg::kScanProgress) + QString::number(done) + u'/' + QString::number(total));
  });
  connect(scan, &BackgroundScan::Finished, scan, [this, scan] {
    if (m_scan.get() == scan) FinishScan();
  });
  scan->Start();
  m_focusBeforeScan = QApplication::focusWidget();
  m_form.SetScanning(true);
  m_cancelScan->setEnabled(true);
  emit ScanRunning(true);
}

void CTRAKLYView::CancelScan() {
  if (m_scan) m_scan->Stop();
}

void CTRAKLYView::WaitForScan() {
  if (!m_scan) return;
  m_scan->Wait();
  // Its reports and its end are on their way here; taken now, none is left to arrive later.
  QCoreApplication::sendPostedEvents(m_scan.get(), QEvent::MetaCall);
  if (m_scan) FinishScan();
}

void CTRAKLYView::FinishScan() {
  m_scan->Wait();
  BackgroundScan* scan = m_scan.release();
  // Its own signal may be what called here.
  scan->deleteLater();
  m_form.SetScanning(false);
  m_cancelScan->setEnabled(false);
  if (m_focusBeforeScan) m_focusBeforeScan->setFocus();
  emit ScanRunning(false);
  const std::optional<ScanOutcome>& outcome = scan->Outcome();
  if (!outcome) return;
  // A 取消 that came as the last charts were read still leaves the table as it was.
  if (outcome->cancelled || scan->Stopped()) {
    emit StatusMessage(FromUtf8(msg::kScanCancelled));
    return;
  }
  const SongTable before = m_table;
  m_model->ResetWith([&] {
    m_table = std::move(scan->Table());
    KeepSort();
  });
  m_scannedFolder = outcome->musicDir;
  m_fields.folderSongs = static_cast<int>(outcome->songCount);
  TableChange reset;
  reset.reset = true;
  FollowTable(before, reset);
  UpdateData(false);
  if (!m_scanFolderReady) return;
  if (outcome->folderUnreadable) {
    emit StatusMessage(FromUtf8(msg::kScanFolderUnreadable) + FromGbk(outcome->musicDir));
    return;
  }
  const QString unreadable = outcome->unreadableCharts == 0 ? FromUtf8(msg::kScanSummarySongs)
                                                            : FromUtf8(msg::kScanSummaryUnreadableBefore) +
                                                                  QString::number(outcome->unreadableCharts) +
                                                                  FromUtf8(msg::kScanSummaryUnreadableAfter);
  emit StatusMessage(FromUtf8(msg::kScanSummaryFound) + QString::number(outcome->songCount) + unreadable +
                     QString::number(static_cast<double>(m_scanTimer.elapsed()) / 1000.0, 'f', 3) +
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
  if (!result.order.empty()) {
    m_lastSort = SortKey{column, !m_table.NextAscending(column)};
    QHeaderView* header = m_form.List()->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, m_lastSort->ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  }
  // As the form always has: the fields show the held texts again, dropping what was typed since.
  UpdateData(false);
}

std::optional<std::string> CTRAKLYView::ReadMusicFolder() const {
  return ReadFolder(m_strSettingsPath, FolderSlot::kMusic);
}

void CTRAKLYView::OnClickSongList() {
  OnHighlightMoved(-1);
}

void CTRAKLYView::OnHighlightMoved(int currentRow) {
  if (m_table.Empty()) return;
  const std::vector<std::size_t> selected = SelectedRows();
  const auto row = SoleSelectedRow(selected);
  if (!row) {
    // A highlight over several rows loads nothing; the cover still goes where the highlight went.
    if (currentRow >= 0) m_preview->Show(static_cast<std::size_t>(currentRow));
    return;
  }
  const auto loadedRow = m_editTarget ? m_table.FindId(m_editTarget->songId) : std::nullopt;
  if (row != loadedRow && !SettleEdits()) {
    // The person stays with the song in the editor, so the highlight goes back to it.
    if (loadedRow) m_form.List()->SelectRows(std::vector<std::size_t>{*loadedRow});
    return;
  }
  LoadRow(*row);
}

void CTRAKLYView::LoadRow(std::size_t row) {
  UpdateData(true);
  m_fields.title = FromGbk(m_table.Cell(row, kColTitle));
  m_fields.easy = FromGbk(m_table.Cell(row, kColEasy));
  m_fields.normal = FromGbk(m_table.Cell(row, kColNormal));
  m_fields.hard = FromGbk(m_table.Cell(row, kColHard));
  m_loaded = m_fields;
  // The save goes to this song in the folder read now, wherever its row stands by then.
  const std::optional<std::string> musicDir = ReadMusicFolder();
  m_editTarget = SongEditTarget{m_table.Row(row).Id(), musicDir.value_or(std::string())};
  UpdateData(false);
  if (musicDir)
    m_preview->ShowFrom(*musicDir, row);
  else
    m_preview->ShowNone(row);
}

bool CTRAKLYView::HasUnsavedEdits() {
  if (!m_editTarget) return false;
  const FormFields typed = m_form.Read();
  return typed.title != m_loaded.title || typed.easy != m_loaded.easy || typed.normal != m_loaded.normal ||
         typed.hard != m_loaded.hard;
}

bool CTRAKLYView::SettleEdits() {
  if (!HasUnsavedEdits()) return true;
  const auto row = m_table.FindId(m_editTarget->songId);
  const std::string title =
      row ? m_table.Cell(*row, kColTitle) : GbkFromUtf8(m_loaded.title.toStdString()).value_or("");
  switch (m_ui.AskSaveChanges(SongLabelGbk(m_editTarget->songId, title) + Gbk(msg::kUnsavedAfter),
                              Gbk(msg::kAppTitle))) {
    case SaveChangesAnswer::kSave: {
      UpdateData(true);
      const SongEdits edits{m_fields.title.toStdString(), m_fields.easy.toStdString(),
                            m_fields.normal.toStdString(), m_fields.hard.toStdString()};
      // The person has just said to save: no second question.
      return Run([&](OperationContext& ctx) {
               return vx::OnSaveSong(ctx, m_editTarget, edits, false);
             }).saved == SaveOutcome::kSaved;
    }
    case SaveChangesAnswer::kDiscard:
      m_fields.title = m_loaded.title;
      m_fields.easy = m_loaded.easy;
      m_fields.normal = m_loaded.normal;
      m_fields.hard = m_loaded.hard;
      m_form.Show(m_fields);
      return true;
    case SaveChangesAnswer::kCancel:
      break;
  }
  return false;
}

void CTRAKLYView::EmptyEditor() {
  m_editTarget.reset();
  m_fields.title.clear();
  m_fields.easy.clear();
  m_fields.normal.clear();
  m_fields.hard.clear();
  m_loaded = m_fields;
}

namespace {

// Where song `id` stands after `change` turned `before` into `after`: its row, the row it held when the
// change gave that row another number (a renumber, or one taken back), or nothing when it is gone.
std::optional<std::size_t> RowAfter(int id, const SongTable& before, const SongTable& after,
                                    const TableChange& change) {
  if (const auto row = after.FindId(id)) return row;
  const auto old = before.FindId(id);
  if (!old || !change.removedAt.empty() || *old >= after.Size() ||
      std::find(change.changedRows.begin(), change.changedRows.end(), *old) == change.changedRows.end())
    return std::nullopt;
  return old;
}

}  // namespace

void CTRAKLYView::FollowTable(const SongTable& before, const TableChange& change) {
  // A song read from another folder than the one the table now describes is gone as far as it knows.
  const auto musicDir = ReadMusicFolder();
  const bool sameFolder = m_editTarget && musicDir && m_editTarget->musicDir == *musicDir;
  if (m_editTarget) {
    const auto row = sameFolder ? RowAfter(m_editTarget->songId, before, m_table, change) : std::nullopt;
    if (!row) {
      EmptyEditor();
    } else {
      m_editTarget->songId = m_table.Row(*row).Id();
      const FormFields typed = m_form.Read();
      const QString title = FromGbk(m_table.Cell(*row, kColTitle)),
                    easy = FromGbk(m_table.Cell(*row, kColEasy)),
                    normal = FromGbk(m_table.Cell(*row, kColNormal)),
                    hard = FromGbk(m_table.Cell(*row, kColHard));
      // The song itself changed (a restore, a save): the editor shows it as it is now. Otherwise what was
      // typed stays.
      if (title != m_loaded.title || easy != m_loaded.easy || normal != m_loaded.normal ||
          hard != m_loaded.hard) {
        m_loaded.title = m_fields.title = title;
        m_loaded.easy = m_fields.easy = easy;
        m_loaded.normal = m_fields.normal = normal;
        m_loaded.hard = m_fields.hard = hard;
      } else {
        m_fields.title = typed.title;
        m_fields.easy = typed.easy;
        m_fields.normal = typed.normal;
        m_fields.hard = typed.hard;
      }
    }
  }
  if (const auto shown = m_preview->SongId()) {
    const auto row = musicDir ? RowAfter(*shown, before, m_table, change) : std::nullopt;
    m_preview->Follow(row ? std::optional<int>(m_table.Row(*row).Id()) : std::nullopt);
  }
}

void CTRAKLYView::OnSaveSong() {
  UpdateData(true);
  const SongEdits edits{m_fields.title.toStdString(), m_fields.easy.toStdString(),
                        m_fields.normal.toStdString(), m_fields.hard.toStdString()};
  Run([&](OperationContext& ctx) { return vx::OnSaveSong(ctx, m_editTarget, edits); });
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
    // Added to the ticks there were, never in their place; said, since a delete may come next.
    const bool added = m_table.TickedCount() > ticked;
    emit StatusMessage(FromUtf8(msg::kReportTicked) + QString::number(ticked) +
                       FromUtf8(added ? kReportTickedAdded : msg::kQueryMatchesAfter));
  });
  dialog.exec();
}

void CTRAKLYView::OnTextList() {
  SaveChoiceRecorder recorder(m_ui);
  const OperationResult result = Run([&recorder](OperationContext& ctx) {
    OperationContext recorded{ctx.table,   ctx.gbkSettingsPath, recorder,
                              ctx.history, ctx.folders,         ctx.lockPatience};
    return vx::OnTextList(recorded);
  });
  if (result.outcome == Outcome::kDone && recorder.SavedTo())
    emit StatusMessage(FromUtf8(kStatusTextListSaved) + FromGbk(*recorder.SavedTo()));
}

void CTRAKLYView::OnBatchText() {
  const std::size_t ticked = m_table.TickedCount();
  if (Run(&vx::OnBatchText).outcome == Outcome::kDone)
    emit StatusMessage(FromUtf8(kStatusTextsWrittenBefore) + QString::number(ticked) +
                       FromUtf8(kStatusTextsWrittenAfter) +
                       FromGbk(ReadMusicFolder().value_or(std::string())));
}

void CTRAKLYView::OnGameList() {
  const GameListResult result = Run(&vx::OnGameList);
  if (result.outcome == Outcome::kDone) emit StatusMessage(FromUtf8(kStatusListSaved) + FromGbk(result.path));
}

void CTRAKLYView::Apply(SongTable&& working, const TableChange& change) {
  if (change.Empty()) return;
  // What was typed into the editor stays through the redisplay.
  UpdateData(true);
  SongListView* list = m_form.List();
  const int top = list->rowAt(0);
  const SongTable before = m_table;
  const std::vector<int> newPosition = m_model->Apply(std::move(working), change);
  // The song at the top of the list stays there, or the first one below it that remains.
  for (std::size_t old = top < 0 ? newPosition.size() : static_cast<std::size_t>(top);
       old < newPosition.size(); ++old)
    if (newPosition[old] >= 0) {
      list->scrollTo(m_model->index(newPosition[old], 0), QAbstractItemView::PositionAtTop);
      break;
    }
  m_fields.folderSongs = static_cast<int>(m_table.Size());
  FollowTable(before, change);
  UpdateData(false);
}

void CTRAKLYView::OnDeleteSongs() {
  Run(&vx::OnDeleteSongs);
}

void CTRAKLYView::OnMoveSongs() {
  const std::size_t ticked = m_table.TickedCount();
  const RemoveOutcome result = Run(&vx::OnMoveSongs);
  if (result.outcome != Outcome::kDone && result.change.removedAt.empty()) return;
  const std::size_t moved = result.change.removedAt.size();
  emit StatusMessage(FromUtf8(kStatusMovedBefore) + QString::number(moved) + FromUtf8(kStatusMovedMiddle) +
                     QString::number(ticked - std::min(ticked, moved)) + FromUtf8(kStatusMovedAfter));
}

void CTRAKLYView::OnExportCovers() {
  Run(&vx::OnExportCovers);
}

void CTRAKLYView::OnImportCover() {
  if (Run(&vx::OnImportCover).outcome != Outcome::kDone) return;
  // The new picture shows at once: a preview of the replaced one, or of another song, would tell the
  // person the import did nothing.
  const std::vector<std::size_t> ticked = m_table.TickedRows();
  if (ticked.size() != 1) return;
  m_preview->Show(ticked.front());
  emit StatusMessage(FromUtf8(kStatusCoverImported) + SongLabel(ticked.front()));
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
  // Songs are picked for a folder that is there to take them.
  OperationContext ctx = Context();
  if (!MusicFolderReady(ctx)) return;
  FileDialogRequest request;
  request.filters = {{Gbk(kInstallFilter), "*.vxn"}};
  request.defaultExtension = "vxn";
  const std::vector<std::string> sources = m_ui.ChooseOpenFiles(request);
  if (!sources.empty()) InstallFrom(sources);
}

void CTRAKLYView::OnInstallFolder() {
  OperationContext ctx = Context();
  if (!MusicFolderReady(ctx)) return;
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
  // Before a scan (or after the folder changed) the table holds none of the folder's songs: new rows
  // appended to it would show the installed songs as if they were all the folder has.
  const bool describesFolder = TableDescribesFolder();
  const InstallOutcome result = Run([&](OperationContext& ctx) { return InstallSongs(ctx, gbkSources); });
  if (!result.songs.empty()) m_ui.ShowMessage(InstallReportTextGbk(result), Gbk(msg::kAppTitle));
  if (!describesFolder && !result.change.Empty()) OnScan();
}

void CTRAKLYView::OnRenumber() {
  // The editor's song keeps its row and its texts under its new number (FollowTable).
  const RenumberResult result =
      Run([this](OperationContext& ctx) { return vx::OnRenumber(ctx, SelectedRows()); });
  if (result.outcome != Outcome::kDone) return;
  if (const auto row = m_table.FindId(result.to))
    emit StatusMessage(FromUtf8(kStatusRenumbered) +
                       FromGbk(SongLabelGbk(result.from, m_table.Cell(*row, kColTitle))) +
                       FromUtf8(kStatusRenumberedTo) + QString::number(result.to));
}

QString CTRAKLYView::SongLabel(std::size_t row) const {
  return FromGbk(SongLabelGbk(m_table.Row(row).Id(), m_table.Cell(row, kColTitle)));
}

void CTRAKLYView::SayRestored(const OperationResult& result) {
  if (result.outcome == Outcome::kDone && !result.change.changedRows.empty())
    emit StatusMessage(FromUtf8(kStatusRestored) + SongLabel(result.change.changedRows.front()));
}

void CTRAKLYView::OnHistory() {
  const std::string musicDir = ReadMusicFolder().value_or(std::string());
  CHistoryDlg dialog(
      [this, musicDir] {
        return musicDir.empty() ? std::vector<HistoryEntry>{} : m_history.Entries(musicDir);
      },
      this);
  connect(&dialog, &CHistoryDlg::RestoreRequested, this, [this](const HistoryEntry& entry) {
    SayRestored(Run([&](OperationContext& ctx) { return OnRestoreEntry(ctx, m_history, entry); }));
  });
  dialog.exec();
}

void CTRAKLYView::OnUndoChange() {
  SayRestored(Run([this](OperationContext& ctx) { return OnUndoLastChange(ctx, m_history); }));
}

void CTRAKLYView::OnRedoChange() {
  SayRestored(Run([this](OperationContext& ctx) { return vx::OnRedoChange(ctx, m_history); }));
}

}  // namespace vx::ui
