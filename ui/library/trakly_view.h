#pragma once
// The song library form: cover frame, counters, scan and settings buttons, the song table and the editor
// row. It holds the core SongTable and adapts clicks into core calls; what a click means is decided in
// the core (scan, sort, tick toggle, selection, save).

#include <QWidget>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interaction.h"
#include "library/selection.h"
#include "library/song_edit.h"
#include "library/song_table.h"
#include "operations/outcome.h"
#include "operations/remove_songs.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace vx::ui {

class CoverFrame;
class SongTableModel;

// The form is laid out in dialog units; with its 9 pt font one unit is 1.5 px.
inline constexpr double kFormPxPerUnit = 1.5;
inline constexpr int kFormWidthUnits = 606;
inline constexpr int kFormHeightUnits = 284;

class CTRAKLYView : public QWidget {
  Q_OBJECT

 public:
  // `gbkStartFolder` is the folder the program started in; REC.re lives there and is created when
  // missing. `ui` answers every question and shows every message; it must outlive the view.
  CTRAKLYView(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent = nullptr);
  ~CTRAKLYView() override;

  const SongTable& Table() const { return m_table; }
  SongTableModel* Model() const { return m_model; }
  QTableView* SongList() const { return m_list; }
  const CoverFrame* CoverPreview() const { return m_cover; }
  const std::string& SettingsPath() const { return m_strSettingsPath; }
  const std::optional<SongEditTarget>& EditTarget() const { return m_editTarget; }

  // Form buttons and table notifications.
  void OnFolderSettings();
  void OnScan();
  void OnCalcListSize();
  void OnSelectAll();
  void OnColumnclickSongList(int column);
  void OnClickSongList();
  void OnKeydownSongList(int qtKey);
  void OnSaveSong();

  // Library operations of the menu and toolbar, routed here by the frame; each runs its core operation
  // and brings the table, the count and the preview in line with what it did.
  void OnTextList();
  void OnBatchText();
  void OnGameList();
  void OnDeleteSongs();
  void OnMoveSongs();
  void OnExportCovers();
  void OnImportCover();
  void OnStatusWeekly();
  void OnStatusNewest();
  void OnStatusPopular();
  void OnStatusClear();

  // Beyond the list: reopen a game song list (command 57601), check the library (command 32786), and the
  // toolbar's search field, which highlights while typing and ticks (or unticks) on Enter.
  void OnOpenSongList();
  void OnCheckLibrary();
  void OnSearchChanged(const QString& text);
  void OnSearchSubmitted(const QString& text, bool tick);

  // Highlights exactly these rows (positions), as a mouse would; for tests and scripted screenshots.
  void SelectRows(std::span<const std::size_t> rows);

 signals:
  // A text for the frame's status bar.
  void StatusMessage(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildForm();
  // The form's data exchange: fields into members, members back into fields.
  void UpdateData(bool fromForm);
  std::vector<std::size_t> SelectedRows() const;
  // After a core call changed ticks or cells of any rows, but neither their number nor their order.
  void AllRowsChanged();
  // Slot 0 of the settings file, read afresh as every click and key does.
  std::optional<std::string> ReadMusicFolder() const;
  void ShowCover(std::size_t row);
  void ShowCoverFrom(const std::string& gbkMusicDir, std::size_t row);
  // Delete and move: the core call, then its removals replayed on the table and the count brought up to date.
  void RemoveTicked(RemoveOutcome (*operation)(SongTable&, std::string_view, Interaction&));
  // The four status commands: the typed editor texts are taken in first so the redisplay keeps them.
  void SetStatus(Outcome (*operation)(SongTable&, Interaction&));

  SongTable m_table;
  SongTableModel* m_model = nullptr;
  Interaction& m_ui;

  std::string m_strSettingsPath;  // GBK
  std::optional<SongEditTarget> m_editTarget;
  std::optional<int> m_coverSongId;  // whose cover the frame shows

  // Members bound to the form.
  bool m_bSelectAll = false;
  int m_nFolderSongs = 0;
  int m_nListSizeKB = 0;
  QString m_title, m_easy, m_normal, m_hard;

  CoverFrame* m_cover = nullptr;
  QCheckBox* m_selectAll = nullptr;
  QLineEdit* m_folderSongs = nullptr;
  QLineEdit* m_listSize = nullptr;
  QProgressBar* m_progress = nullptr;
  QTableView* m_list = nullptr;
  QLineEdit* m_titleEdit = nullptr;
  QLineEdit* m_easyEdit = nullptr;
  QLineEdit* m_normalEdit = nullptr;
  QLineEdit* m_hardEdit = nullptr;
};

}  // namespace vx::ui
