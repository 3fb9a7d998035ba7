#include "library/trakly_view.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <algorithm>

#include "app/folder_settings_dlg.h"
#include "library/cover.h"
#include "library/cover_frame.h"
#include "library/library_check.h"
#include "library/library_check_dlg.h"
#include "library/scan.h"
#include "library/song_list_reader.h"
#include "library/song_list_view.h"
#include "library/song_query.h"
#include "library/song_table_model.h"
#include "library/sort.h"
#include "messages.h"
#include "operations/covers.h"
#include "operations/game_list.h"
#include "operations/status_marks.h"
#include "operations/text_lists.h"
#include "resources/resources.h"
#include "settings/settings_file.h"
#include "text/gbk.h"

namespace vx::ui {
namespace {

// A rectangle in dialog units, rounded edge by edge so neighbours that touch in units touch in pixels.
QRect Dlu(int x, int y, int w, int h) {
  const auto px = [](int units) { return qRound(units * kFormPxPerUnit); };
  return QRect(px(x), px(y), px(x + w) - px(x), px(y + h) - px(y));
}

QString FromGbk(const std::string& gbk) {
  return QString::fromStdString(Utf8FromGbk(gbk));
}

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
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
  setFixedSize(qRound(kFormWidthUnits * kFormPxPerUnit), qRound(kFormHeightUnits * kFormPxPerUnit));

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
  connect(button("扫描歌曲", Dlu(7, 254, 159, 23), "scan"), &QPushButton::clicked, this,
          &CTRAKLYView::OnScan);

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

  m_titleEdit = edit(Dlu(182, 261, 112, 16), "titleEdit");
  label("简单", Dlu(307, 263, 17, 8), "easyLabel");
  m_easyEdit = edit(Dlu(335, 261, 24, 16), "easyEdit");
  label("普通", Dlu(378, 263, 17, 8), "normalLabel");
  m_normalEdit = edit(Dlu(406, 261, 24, 16), "normalEdit");
  label("困难", Dlu(449, 263, 17, 8), "hardLabel");
  m_hardEdit = edit(Dlu(477, 261, 24, 16), "hardEdit");
  for (QLineEdit* level : {m_easyEdit, m_normalEdit, m_hardEdit}) level->setValidator(digitsOnly);
  connect(button("保存", Dlu(537, 259, 62, 18), "save"), &QPushButton::clicked, this,
          &CTRAKLYView::OnSaveSong);
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
  for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
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
  CFolderSettingsDlg dialog(m_strSettingsPath, m_ui, this);
  dialog.exec();
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
  std::optional<ScanOutcome> outcome;
  m_model->ResetWith([&] { outcome = vx::OnScan(m_table, m_strSettingsPath, progress); });
  if (!outcome) return;
  m_progress->setValue(m_progress->maximum());
  m_nFolderSongs = static_cast<int>(outcome->songCount);
  UpdateData(false);
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
  if (row && musicDir) ShowCoverFrom(*musicDir, *row);
}

void CTRAKLYView::OnKeydownSongList(int qtKey) {
  if (qtKey != Qt::Key_Up && qtKey != Qt::Key_Down) return;
  const auto row = CoverRowForArrowKey(qtKey == Qt::Key_Up ? ArrowKey::kUp : ArrowKey::kDown, SelectedRows(),
                                       m_table.Size());
  if (row) ShowCover(*row);
}

void CTRAKLYView::ShowCover(std::size_t row) {
  if (const auto musicDir = ReadMusicFolder()) ShowCoverFrom(*musicDir, row);
}

void CTRAKLYView::ShowCoverFrom(const std::string& gbkMusicDir, std::size_t row) {
  const auto bytes = ReadCover(ChartPath(gbkMusicDir, m_table.Row(row).Id()));
  // A cover that fails the marker test leaves the last good one on display.
  if (!bytes) return;
  m_cover->SetCover(QImage::fromData(bytes->data(), static_cast<int>(bytes->size())));
  m_coverSongId = m_table.Row(row).Id();
}

void CTRAKLYView::OnSaveSong() {
  UpdateData(true);
  const SongEdits edits{m_title.toStdString(), m_easy.toStdString(), m_normal.toStdString(),
                        m_hard.toStdString()};
  if (vx::OnSaveSong(m_table, m_editTarget, edits, m_ui) != SaveOutcome::kSaved) return;
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
  const std::set<int> ids = ReportedIds(*report);
  // The check reads the folder, not the table: before a scan, or after songs came in since, the report
  // can name songs the table does not hold, and a button that would tick none stays greyed.
  const bool canTick =
      std::any_of(ids.begin(), ids.end(), [this](int id) { return m_table.FindId(id).has_value(); });
  CLibraryCheckDlg dialog(FromGbk(LibraryReportText(*report)), canTick, this);
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
    emit StatusMessage(QString());
    return;
  }
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorText(*error)));
    return;
  }
  const std::vector<std::size_t> rows = MatchingRows(m_table, std::get<SongQuery>(parsed));
  SelectRows(rows);
  if (!rows.empty()) m_list->scrollTo(m_model->index(static_cast<int>(rows.front()), 0));
  emit StatusMessage(QString::fromStdString(MatchCountText(rows.size())));
}

void CTRAKLYView::OnSearchSubmitted(const QString& text, bool tick) {
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorText(*error)));
    return;
  }
  const std::size_t matched = TickMatching(m_table, std::get<SongQuery>(parsed), tick);
  AllRowsChanged();
  emit StatusMessage(FromUtf8(tick ? msg::kQueryTicked : msg::kQueryUnticked) + QString::number(matched) +
                     FromUtf8(msg::kQueryMatchesAfter));
}

void CTRAKLYView::OnTextList() { vx::OnTextList(m_table, m_ui); }

void CTRAKLYView::OnBatchText() { vx::OnBatchText(m_table, m_strSettingsPath, m_ui); }

void CTRAKLYView::OnGameList() { vx::OnGameList(m_table, m_strSettingsPath, m_ui); }

void CTRAKLYView::RemoveTicked(RemoveOutcome (*operation)(SongTable&, std::string_view, Interaction&)) {
  // The operation shrinks the table before its last message box, and the list repaints behind that box.
  // Run on a copy, the list keeps seeing the rows it knows until the removals are replayed as row
  // removals, which also keep the highlight on the songs that remain.
  SongTable working = m_table;
  const RemoveOutcome result = operation(working, m_strSettingsPath, m_ui);
  m_model->ReplayRemovals(result.removedAt);
  // The count follows the table whatever happened; what was typed into the editor stays.
  UpdateData(true);
  m_nFolderSongs = static_cast<int>(m_table.Size());
  UpdateData(false);
}

void CTRAKLYView::OnDeleteSongs() { RemoveTicked(&vx::OnDeleteSongs); }

void CTRAKLYView::OnMoveSongs() { RemoveTicked(&vx::OnMoveSongs); }

void CTRAKLYView::OnExportCovers() { vx::OnExportCovers(m_table, m_strSettingsPath, m_ui); }

void CTRAKLYView::OnImportCover() {
  if (vx::OnImportCover(m_table, m_strSettingsPath, m_ui) != Outcome::kDone) return;
  // A preview that still showed the replaced cover would tell the person the import did nothing.
  const std::vector<std::size_t> ticked = m_table.TickedRows();
  if (ticked.size() == 1 && m_coverSongId == m_table.Row(ticked.front()).Id()) ShowCover(ticked.front());
}

void CTRAKLYView::SetStatus(Outcome (*operation)(SongTable&, Interaction&)) {
  UpdateData(true);
  if (operation(m_table, m_ui) == Outcome::kDone) m_model->ColumnChanged(kColStatus);
  UpdateData(false);
}

void CTRAKLYView::OnStatusWeekly() { SetStatus(&vx::OnStatusWeekly); }
void CTRAKLYView::OnStatusNewest() { SetStatus(&vx::OnStatusNewest); }
void CTRAKLYView::OnStatusPopular() { SetStatus(&vx::OnStatusPopular); }
void CTRAKLYView::OnStatusClear() { SetStatus(&vx::OnStatusClear); }

}  // namespace vx::ui
