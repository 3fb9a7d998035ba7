#include "ui/library/trakly_view.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <algorithm>

#include "core/formats/cover.h"
#include "core/library/scan.h"
#include "core/library/song_query.h"
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
#include "ui/app/commands.h"
#include "ui/app/folder_settings_dlg.h"
#include "ui/app/qt_text.h"
#include "ui/library/cover_frame.h"
#include "ui/library/form_anchors.h"
#include "ui/library/history_dlg.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/song_list_drops.h"
#include "ui/library/song_list_filter.h"
#include "ui/library/song_list_keys.h"
#include "ui/library/song_list_menu.h"
#include "ui/library/song_list_view.h"
#include "ui/library/song_table_model.h"
#include "ui/resources/resources.h"

namespace vx::ui {
namespace {

// A rectangle in dialog units, rounded edge by edge so neighbours that touch in units touch in pixels.
QRect Dlu(int x, int y, int w, int h) {
  const auto px = [](int units) { return qRound(units * kFormPxPerUnit); };
  return QRect(px(x), px(y), px(x + w) - px(x), px(y + h) - px(y));
}

// The figure turns red once the song list would grow past what the game is known to load.
const QColor kListSizeOk(0, 0, 200);
const QColor kListSizeTooBig(200, 0, 0);

}  // namespace

CTRAKLYView::CTRAKLYView(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent)
    : QWidget(parent), m_ui(ui), m_strSettingsPath(SettingsPathIn(gbkStartFolder)) {
  m_model = new SongTableModel(m_table, this);
  EnsureResources();
  BuildForm();
  EnsureSettingsFile(m_strSettingsPath);
  UpdateData(false);
}

CTRAKLYView::~CTRAKLYView() = default;

void CTRAKLYView::BuildForm() {
  QFont font;
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("NSimSun"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Noto Serif CJK SC")});
  font.setPointSize(9);
  setFont(font);
  // The form may grow with the window (the table takes the room), never shrink below its placements.
  const QSize form(qRound(kFormWidthUnits * kFormPxPerUnit), qRound(kFormHeightUnits * kFormPxPerUnit));
  setMinimumSize(form);
  resize(form);

  const auto label = [this](const char* text, QRect rect, const char* name) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(rect);
    return l;
  };
  const auto button = [this](const char* text, QRect rect, const char* name) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(rect);
    return b;
  };
  const auto edit = [this](QRect rect, const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QString::fromLatin1(name));
    e->setGeometry(rect);
    return e;
  };
  auto* digitsOnly = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this);

  m_cover = new CoverFrame(this);
  m_cover->setObjectName(QStringLiteral("coverFrame"));
  m_cover->setGeometry(Dlu(7, 7, 160, 120));

  m_selectAll = new QCheckBox(QStringLiteral("全选"), this);
  m_selectAll->setObjectName(QStringLiteral("selectAll"));
  m_selectAll->setGeometry(Dlu(7, 131, 32, 10));
  connect(m_selectAll, &QCheckBox::clicked, this, &CTRAKLYView::OnSelectAll);

  label("此文件夹歌曲数:", Dlu(57, 133, 61, 8), "folderSongsLabel");
  m_folderSongs = edit(Dlu(127, 133, 26, 12), "folderSongs");
  m_folderSongs->setReadOnly(true);
  m_folderSongs->setAlignment(Qt::AlignCenter);
  m_folderSongs->setValidator(digitsOnly);

  connect(button("计算歌曲列表大小", Dlu(7, 149, 84, 17), "calcListSize"), &QPushButton::clicked, this,
          &CTRAKLYView::OnCalcListSize);
  m_listSize = edit(Dlu(101, 153, 26, 12), "listSize");
  m_listSize->setReadOnly(true);
  m_listSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_listSize->setValidator(digitsOnly);
  label("KB", Dlu(137, 153, 20, 12), "kbLabel");

  m_progress = new QProgressBar(this);
  m_progress->setObjectName(QStringLiteral("scanProgress"));
  m_progress->setGeometry(Dlu(7, 181, 161, 17));
  m_progress->setTextVisible(false);
  m_progress->setRange(0, kMaxSongs);
  m_progress->setValue(0);

  connect(button("目录设置", Dlu(7, 215, 159, 23), "folderSettings"), &QPushButton::clicked, this,
          &CTRAKLYView::OnFolderSettings);
  QPushButton* scan = button("扫描歌曲", Dlu(7, 254, 159, 23), "scan");
  scan->setToolTip(FromUtf8(kScanTip));
  connect(scan, &QPushButton::clicked, this, &CTRAKLYView::OnScan);

  m_list = new SongListView(this);
  m_list->setObjectName(QStringLiteral("songList"));
  m_list->setGeometry(Dlu(176, 7, 423, 247));
  m_list->setModel(m_model);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_list->setShowGrid(false);
  m_list->setWordWrap(false);
  m_list->setSortingEnabled(false);
  m_list->verticalHeader()->hide();
  // Fixed row heights keep a 5000-row table from measuring every row.
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
  QHeaderView* header = m_list->horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // Qt's default minimum is the font's widest glyph, which for a CJK font under Windows' font engines is
  // wider than the narrow columns; the form's widths must hold everywhere.
  header->setMinimumSectionSize(16);
  for (int c = 0; c < kColumnCount; ++c)
    m_list->setColumnWidth(c, kColumns[static_cast<std::size_t>(c)].widthPx);
  connect(header, &QHeaderView::sectionClicked, this, &CTRAKLYView::OnColumnclickSongList);
  connect(m_list, &QTableView::clicked, this, &CTRAKLYView::OnClickSongList);
  m_list->installEventFilter(this);
  auto* keys = new SongListKeys(m_list);
  connect(keys, &SongListKeys::TickToggleRequested, this, &CTRAKLYView::OnSpaceSongList);
  connect(keys, &SongListKeys::HighlightJumped, this, [this](int row) {
    if (row >= 0) ShowCover(static_cast<std::size_t>(row));
  });
  m_filter = new SongListFilter(m_list, m_table, this);
  connect(m_filter, &SongListFilter::Changed, this, &CTRAKLYView::ReportTickSummary);
  auto* drops = new SongListDrops(m_list);
  // Answered once the drop is over, like a picture dropped on the cover.
  connect(drops, &SongListDrops::SongsDropped, this, &CTRAKLYView::OnSongsDropped, Qt::QueuedConnection);
  m_menu = new SongListMenu(m_list);
  connect(m_menu, &SongListMenu::OpenFolderRequested, this, &CTRAKLYView::OnOpenContainingFolder);
  // Answered once the drop is over, so a message box never holds up the program the file came from.
  connect(m_cover, &CoverFrame::PictureDropped, this, &CTRAKLYView::OnCoverDropped, Qt::QueuedConnection);
  connect(m_cover, &CoverFrame::DropRefused, this, &CTRAKLYView::OnCoverDropRefused, Qt::QueuedConnection);

  m_titleEdit = edit(Dlu(182, 261, 112, 16), "titleEdit");
  label("简单", Dlu(307, 263, 17, 8), "easyLabel");
  m_easyEdit = edit(Dlu(335, 261, 24, 16), "easyEdit");
  label("普通", Dlu(378, 263, 17, 8), "normalLabel");
  m_normalEdit = edit(Dlu(406, 261, 24, 16), "normalEdit");
  label("困难", Dlu(449, 263, 17, 8), "hardLabel");
  m_hardEdit = edit(Dlu(477, 261, 24, 16), "hardEdit");
  for (QLineEdit* level : {m_easyEdit, m_normalEdit, m_hardEdit}) level->setValidator(digitsOnly);
  QPushButton* save = button("保存", Dlu(537, 259, 62, 18), "save");
  connect(save, &QPushButton::clicked, this, &CTRAKLYView::OnSaveSong);

  m_anchors = new FormAnchors(this);
  m_anchors->Add(m_list, FormAnchors::Anchor::kGrow);
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_titleEdit, findChild<QLabel*>(QStringLiteral("easyLabel")), m_easyEdit,
           findChild<QLabel*>(QStringLiteral("normalLabel")), m_normalEdit,
           findChild<QLabel*>(QStringLiteral("hardLabel")), m_hardEdit, save})
    m_anchors->Add(control, FormAnchors::Anchor::kFollowBottom);
}

void CTRAKLYView::SetRestSize(QSize rest) {
  m_anchors->SetRestSize(rest);
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
  if (fromForm) {
    m_bSelectAll = m_selectAll->isChecked();
    m_nFolderSongs = m_folderSongs->text().toInt();
    m_nListSizeKB = m_listSize->text().toInt();
    m_title = m_titleEdit->text();
    m_easy = m_easyEdit->text();
    m_normal = m_normalEdit->text();
    m_hard = m_hardEdit->text();
    return;
  }
  m_selectAll->setChecked(m_bSelectAll);
  m_folderSongs->setText(QString::number(m_nFolderSongs));
  m_listSize->setText(QString::number(m_nListSizeKB));
  QPalette colour = m_listSize->palette();
  colour.setColor(QPalette::Text, m_nListSizeKB > kListSizeWarnKB ? kListSizeTooBig : kListSizeOk);
  m_listSize->setPalette(colour);
  m_titleEdit->setText(m_title);
  m_easyEdit->setText(m_easy);
  m_normalEdit->setText(m_normal);
  m_hardEdit->setText(m_hard);
}

std::vector<std::size_t> CTRAKLYView::SelectedRows() const {
  std::vector<std::size_t> rows;
  // A hidden row can still be inside a highlighted range; what is not shown is not chosen.
  for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
    if (!m_filter->Hides(static_cast<std::size_t>(index.row())))
      rows.push_back(static_cast<std::size_t>(index.row()));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CTRAKLYView::SelectRows(std::span<const std::size_t> rows) {
  QItemSelection selection;
  for (const std::size_t row : rows) {
    const QModelIndex index = m_model->index(static_cast<int>(row), 0);
    selection.select(index, index);
  }
  m_list->selectionModel()->select(selection,
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (!rows.empty())
    m_list->selectionModel()->setCurrentIndex(m_model->index(static_cast<int>(rows.back()), 0),
                                              QItemSelectionModel::NoUpdate);
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
  m_progress->setValue(0);
  const ScanProgress progress = [this](int done, int total) {
    m_progress->setMaximum(std::max(total, 1));
    m_progress->setValue(done);
    // The scan holds the event loop; paint the bar now so it moves while the folder is read.
    m_progress->repaint();
  };
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
  m_progress->setValue(m_progress->maximum());
  m_nFolderSongs = static_cast<int>(outcome->songCount);
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
  m_nListSizeKB = ListSizeKB(m_table);
  UpdateData(false);
}

void CTRAKLYView::OnSelectAll() {
  if (m_table.Empty()) return;
  UpdateData(true);
  m_table.SetAllTicked(m_bSelectAll);
  m_model->RowsChanged(0, static_cast<int>(m_table.Size()) - 1);
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
  if (result.ticksChanged) m_model->RowsChanged(0, static_cast<int>(m_table.Size()) - 1);
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
    m_title = FromGbk(m_table.Cell(*row, kColTitle));
    m_easy = FromGbk(m_table.Cell(*row, kColEasy));
    m_normal = FromGbk(m_table.Cell(*row, kColNormal));
    m_hard = FromGbk(m_table.Cell(*row, kColHard));
    // The save goes to this song in the folder read now, wherever its row stands by then.
    musicDir = ReadMusicFolder();
    m_editTarget = SongEditTarget{m_table.Row(*row).Id(), musicDir.value_or(std::string())};
  }
  UpdateData(false);
  if (!row) return;
  if (musicDir) {
    ShowCoverFrom(*musicDir, *row);
  } else {
    // Without the settings file no cover can be found; the last song's would be shown as this one's.
    m_coverSongId = m_table.Row(*row).Id();
    m_cover->SetCover(QImage());
  }
}

void CTRAKLYView::OnKeydownSongList(int qtKey) {
  if (qtKey != Qt::Key_Up && qtKey != Qt::Key_Down) return;
  const bool up = qtKey == Qt::Key_Up;
  auto row = CoverRowForArrowKey(up ? ArrowKey::kUp : ArrowKey::kDown, SelectedRows(), m_table.Size());
  // The highlight steps over hidden rows, and the cover goes where the highlight goes.
  while (row && m_filter->Hides(*row))
    row = up ? (*row > 0 ? std::optional(*row - 1) : std::nullopt)
             : (*row + 1 < m_table.Size() ? std::optional(*row + 1) : std::nullopt);
  if (row) ShowCover(*row);
}

void CTRAKLYView::ShowCover(std::size_t row) {
  if (const auto musicDir = ReadMusicFolder()) ShowCoverFrom(*musicDir, row);
}

void CTRAKLYView::ShowCoverFrom(const std::string& gbkMusicDir, std::size_t row) {
  m_coverSongId = m_table.Row(row).Id();
  const CoverRead read = ReadCoverExplained(ChartPath(gbkMusicDir, *m_coverSongId));
  // A cover that fails the marker test leaves the last good one on display. One that cannot be read at
  // all (the chart gone, the cover outside it) clears the frame rather than show another song's.
  if (read.failedMarkerTest) return;
  m_cover->SetCover(read.cover ? QImage::fromData(read.cover->data(), static_cast<int>(read.cover->size()))
                               : QImage());
}

void CTRAKLYView::OnSaveSong() {
  UpdateData(true);
  const SongEdits edits{m_title.toStdString(), m_easy.toStdString(), m_normal.toStdString(),
                        m_hard.toStdString()};
  if (vx::OnSaveSong(m_table, m_editTarget, edits, m_ui, true, HistoryForRun()) != SaveOutcome::kSaved)
    return;
  if (const auto row = m_table.FindId(m_editTarget->songId))
    m_model->RowsChanged(static_cast<int>(*row), static_cast<int>(*row));
}

bool CTRAKLYView::eventFilter(QObject* watched, QEvent* event) {
  // The arrow key is seen before the table moves its highlight, so the cover shown is the neighbour's.
  if (watched == m_list && event->type() == QEvent::KeyPress)
    OnKeydownSongList(static_cast<QKeyEvent*>(event)->key());
  return QWidget::eventFilter(watched, event);
}

void CTRAKLYView::AllRowsChanged() {
  if (!m_table.Empty()) m_model->RowsChanged(0, static_cast<int>(m_table.Size()) - 1);
}

void CTRAKLYView::OnOpenSongList() {
  // Reopening sets ticks and 状态 cells in place; rows keep their places, so the highlight stays too.
  if (vx::OnOpenSongList(m_table, m_strSettingsPath, m_ui).tableChanged) AllRowsChanged();
}

void CTRAKLYView::OnCheckLibrary() {
  const std::optional<LibraryReport> report = vx::OnCheckLibrary(m_strSettingsPath, m_ui);
  if (!report) return;
  const std::string musicDir = ReadMusicFolder().value_or(std::string());
  const std::set<int> ids = ReportedIds(*report);
  // The check reads the folder, not the table: before a scan, or after songs came in since, the report
  // can name songs the table does not hold, and a button that would tick none stays greyed.
  const bool canTick =
      std::any_of(ids.begin(), ids.end(), [this](int id) { return m_table.FindId(id).has_value(); });
  CLibraryCheckDlg dialog(FromGbk(LibraryReportTextGbk(*report)), canTick, HasLeftoverTemporaries(*report),
                          this);
  connect(&dialog, &CLibraryCheckDlg::RemoveLeftoversRequested, this,
          [this, &report, &musicDir] { RemoveLeftoverTemporaries(musicDir, *report, m_ui); });
  connect(&dialog, &CLibraryCheckDlg::TickRequested, this, [this, &ids] {
    const std::size_t ticked = TickIds(m_table, ids);
    AllRowsChanged();
    emit StatusMessage(FromUtf8(msg::kReportTicked) + QString::number(ticked) +
                       FromUtf8(msg::kQueryMatchesAfter));
  });
  dialog.exec();
}

void CTRAKLYView::OnSearchChanged(const QString& text) {
  if (text.trimmed().isEmpty()) {
    m_filter->SetQuery(std::nullopt);
    emit StatusMessage(QString());
    return;
  }
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorTextUtf8(*error)));
    return;
  }
  const std::vector<std::size_t> rows = MatchingRows(m_table, std::get<SongQuery>(parsed));
  m_filter->SetQuery(std::get<SongQuery>(parsed));
  SelectRows(rows);
  if (!rows.empty()) m_list->scrollTo(m_model->index(static_cast<int>(rows.front()), 0));
  emit StatusMessage(QString::fromStdString(MatchCountTextUtf8(rows.size())));
}

void CTRAKLYView::OnSearchSubmitted(const QString& text, bool tick) {
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorTextUtf8(*error)));
    return;
  }
  const std::size_t matched = TickMatching(m_table, std::get<SongQuery>(parsed), tick);
  AllRowsChanged();
  emit StatusMessage(FromUtf8(tick ? msg::kQueryTicked : msg::kQueryUnticked) + QString::number(matched) +
                     FromUtf8(msg::kQueryMatchesAfter));
}

void CTRAKLYView::OnTextList() {
  vx::OnTextList(m_table, m_ui);
}

void CTRAKLYView::OnBatchText() {
  vx::OnBatchText(m_table, m_strSettingsPath, m_ui);
}

void CTRAKLYView::OnGameList() {
  vx::OnGameList(m_table, m_strSettingsPath, m_ui);
}

void CTRAKLYView::RemoveTicked(RemoveOutcome (*operation)(SongTable&, std::string_view, Interaction&)) {
  // The operation shrinks the table before its last message box, and the list repaints behind that box.
  // Run on a copy, the list keeps seeing the rows it knows until the removals are replayed as row
  // removals, which also keep the highlight on the songs that remain.
  SongTable working = m_table;
  const RemoveOutcome result = operation(working, m_strSettingsPath, m_ui);
  const int top = m_list->rowAt(0);
  const std::vector<int> newPosition = m_model->ReplayRemovals(result.removedAt);
  // The song at the top of the list stays there, or the first one below it that remains.
  for (std::size_t old = top < 0 ? newPosition.size() : static_cast<std::size_t>(top);
       old < newPosition.size(); ++old)
    if (newPosition[old] >= 0) {
      m_list->scrollTo(m_model->index(newPosition[old], 0), QAbstractItemView::PositionAtTop);
      break;
    }
  // The count follows the table whatever happened; what was typed into the editor stays.
  UpdateData(true);
  m_nFolderSongs = static_cast<int>(m_table.Size());
  UpdateData(false);
}

void CTRAKLYView::OnDeleteSongs() {
  RemoveTicked(&vx::OnDeleteSongs);
}

void CTRAKLYView::OnMoveSongs() {
  RemoveTicked(&vx::OnMoveSongs);
}

void CTRAKLYView::OnExportCovers() {
  vx::OnExportCovers(m_table, m_strSettingsPath, m_ui);
}

void CTRAKLYView::OnImportCover() {
  if (vx::OnImportCover(m_table, m_strSettingsPath, m_ui, HistoryForRun()) != Outcome::kDone) return;
  // A preview that still showed the replaced cover would tell the person the import did nothing.
  const std::vector<std::size_t> ticked = m_table.TickedRows();
  if (ticked.size() == 1 && m_coverSongId == m_table.Row(ticked.front()).Id()) ShowCover(ticked.front());
}

void CTRAKLYView::SetStatus(Outcome (*operation)(SongTable&, Interaction&)) {
  UpdateData(true);
  if (operation(m_table, m_ui) == Outcome::kDone) m_model->ColumnChanged(kColStatus);
  UpdateData(false);
}

void CTRAKLYView::OnStatusWeekly() {
  SetStatus(&vx::OnStatusWeekly);
}
void CTRAKLYView::OnStatusNewest() {
  SetStatus(&vx::OnStatusNewest);
}
void CTRAKLYView::OnStatusPopular() {
  SetStatus(&vx::OnStatusPopular);
}
void CTRAKLYView::OnStatusClear() {
  SetStatus(&vx::OnStatusClear);
}

void CTRAKLYView::OnSpaceSongList() {
  // As the 选中 header does with the highlighted rows, but the typed editor texts stay.
  const std::vector<std::size_t> selected = SelectedRows();
  if (selected.empty()) return;
  ToggleTicksOfSelected(m_table, selected);
  m_model->RowsChanged(static_cast<int>(selected.front()), static_cast<int>(selected.back()));
}

void CTRAKLYView::SetMatchesOnly(bool on) {
  m_filter->SetEnabled(on);
}

void CTRAKLYView::ReportTickSummary() {
  if (!m_filter->Narrowing()) {
    emit TickSummary(QString());
    return;
  }
  emit TickSummary(FromUtf8(msg::kTickedBefore) + QString::number(m_filter->TickedCount()) +
                   FromUtf8(msg::kTickedHiddenBefore) + QString::number(m_filter->HiddenTickedCount()) +
                   FromUtf8(msg::kTickedHiddenAfter));
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

void CTRAKLYView::OnCoverDropped(const QString& localFile) {
  if (!m_coverSongId) {
    m_ui.ShowMessage(Gbk(msg::kChooseSongFirst), Gbk(msg::kAppTitle));
    return;
  }
  // A name GBK cannot spell is said, not mangled, as a chooser says it.
  std::string unmappable;
  if (!GbkFromUtf8(localFile.toStdString(), &unmappable)) {
    m_ui.ShowMessage(Gbk(msg::kPathUnmappable) + CodePointName(unmappable), Gbk(msg::kAppTitle));
    return;
  }
  const std::string gbkFile = GbkPath(PathFromQt(localFile));
  if (vx::OnDropCover(m_table, m_strSettingsPath, *m_coverSongId, gbkFile, m_ui, HistoryForRun()) !=
      Outcome::kDone)
    return;
  if (const auto row = m_table.FindId(*m_coverSongId)) ShowCover(*row);
}

void CTRAKLYView::OnCoverDropRefused() {
  m_ui.ShowMessage(Gbk(msg::kDropOneJpeg), Gbk(msg::kAppTitle));
}

History* CTRAKLYView::HistoryForRun() {
  return m_keepHistory ? &m_history : nullptr;
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
  const auto musicDir = ReadMusicFolder();
  if (!musicDir) return;
  if (musicDir->empty()) {
    m_ui.ShowMessage(Gbk(msg::kCheckFolders), Gbk(msg::kAppTitle));
    return;
  }
  // The install runs on a copy, as delete and move do, and its rows are then added to the list in one
  // step: the highlight, the ticks and the scroll position stay where they were.
  SongTable working = m_table;
  const std::size_t before = m_table.Size();
  const InstallOutcome result = InstallSongs(working, *musicDir, gbkSources, m_ui, HistoryForRun());
  if (working.Size() == before + result.rowsAppended) {
    for (const std::size_t row : result.rowsChanged) {
      m_table.SetRow(row, working.Row(row));
      m_model->RowsChanged(static_cast<int>(row), static_cast<int>(row));
    }
    m_model->AppendWith(static_cast<int>(result.rowsAppended), [&] {
      for (std::size_t r = before; r < working.Size(); ++r) m_table.Append(working.Row(r));
    });
  } else {
    // A replaced song whose successor could not be placed left the table: the rows are taken afresh.
    m_model->ResetWith([&] { m_table = working; });
  }
  UpdateData(true);
  m_nFolderSongs = static_cast<int>(m_table.Size());
  UpdateData(false);
  if (!result.songs.empty()) m_ui.ShowMessage(InstallReportTextGbk(result), Gbk(msg::kAppTitle));
}

void CTRAKLYView::OnRenumber() {
  const std::vector<std::size_t> selected = SelectedRows();
  if (m_table.Empty() || selected.size() != 1) {
    m_ui.ShowMessage(Gbk(msg::kChooseSongFirst), Gbk(msg::kAppTitle));
    return;
  }
  const auto musicDir = ReadMusicFolder();
  if (!musicDir || musicDir->empty()) {
    if (musicDir) m_ui.ShowMessage(Gbk(msg::kCheckFolders), Gbk(msg::kAppTitle));
    return;
  }
  const std::size_t row = selected.front();
  const int from = m_table.Row(row).Id();
  bool ok = false;
  const int to = QInputDialog::getInt(
      this, FromUtf8(msg::kRenumberTitle),
      FromGbk(SongLabelGbk(from, m_table.Cell(row, kColTitle))) + u'\n' + FromUtf8(msg::kRenumberPrompt),
      LowestFreeId(TakenIdsIn(*musicDir)).value_or(from), 0, kMaxSongs - 1, 1, &ok);
  if (!ok) return;
  if (RenumberSong(m_table, *musicDir, from, to, m_ui, HistoryForRun()) != Outcome::kDone) return;
  m_model->RowsChanged(static_cast<int>(row), static_cast<int>(row));
  // The editor's song keeps its row and its texts under its new number.
  if (m_editTarget && m_editTarget->songId == from) m_editTarget->songId = to;
  if (m_coverSongId == from) m_coverSongId = to;
}

void CTRAKLYView::OnHistory() {
  const std::string musicDir = ReadMusicFolder().value_or(std::string());
  CHistoryDlg dialog(
      [this, musicDir] {
        return musicDir.empty() ? std::vector<HistoryEntry>{} : m_history.Entries(musicDir);
      },
      this);
  connect(&dialog, &CHistoryDlg::RestoreRequested, this, [this](const HistoryEntry& entry) {
    if (RestoreHistoryEntry(m_table, m_history, entry, m_ui, m_keepHistory) == Outcome::kDone) AfterRestore();
  });
  dialog.exec();
}

void CTRAKLYView::OnUndoChange() {
  if (OnUndoLastChange(m_table, m_strSettingsPath, m_history, m_ui) == Outcome::kDone) AfterRestore();
}

void CTRAKLYView::AfterRestore() {
  AllRowsChanged();
  // The restored chart may be the one whose cover is on show.
  if (m_coverSongId)
    if (const auto row = m_table.FindId(*m_coverSongId)) ShowCover(*row);
}

}  // namespace vx::ui
