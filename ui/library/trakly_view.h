#pragma once
// The song library form's handlers. It holds the core SongTable and adapts clicks into core calls; what
// a click means is decided in the core (scan, sort, tick toggle, selection, save). The controls are the
// LibraryForm's, the cover preview and the search are classes of their own beside it.

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/selection.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_edit.h"
#include "ui/library/library_form.h"

class QAction;
class QTableView;

namespace vx::ui {

class BackgroundScan;
class CoverFrame;
class CoverPreview;
class SongListMenu;
class SongSearch;
class SongTableModel;

class CTRAKLYView : public QWidget {
  Q_OBJECT

 public:
  // `gbkStartFolder` is the folder the program started in; REC.re lives there and is created when
  // missing. `ui` answers every question and shows every message; it must outlive the view.
  CTRAKLYView(const std::string& gbkStartFolder, Interaction& ui, QWidget* parent = nullptr);
  ~CTRAKLYView() override;

  const SongTable& Table() const { return m_table; }
  SongTableModel* Model() const { return m_model; }
  QTableView* SongList() const;
  const CoverFrame* CoverPreview() const { return m_form.Cover(); }
  const std::string& SettingsPath() const { return m_strSettingsPath; }
  const std::optional<SongEditTarget>& EditTarget() const { return m_editTarget; }
  SongListMenu* ContextMenu() const { return m_menu; }
  // The toolbar's search field and "只显示匹配" go here.
  SongSearch* Search() const { return m_search; }

  // The form's size at which every control sits where the form places it; what the form grows beyond
  // it goes to the song table. The frame sets it to what the form gets when the window opens.
  void SetRestSize(QSize rest);
  // The commands the table's right-click menu offers (the frame's own actions; null for a separator).
  void SetContextCommands(QList<QAction*> commands);

  struct SortKey {
    int column = 0;
    bool ascending = false;
  };
  // The last sort a header click made, this session or (through RestoreSort) the one before.
  std::optional<SortKey> LastSort() const { return m_lastSort; }
  // Takes up a sort remembered from the last session: every scan comes in that order, and the next click
  // on that column turns it round. A column that cannot be sorted is ignored.
  void RestoreSort(SortKey sort);

  // Before the editor's song is left (another row, a scan, the window closing): typed texts that were not
  // saved are saved, dropped or kept as the person answers. False when the person stays (取消), or when
  // the save asked for did not happen.
  bool SettleEdits();
  // A scan when the settings file names a MUSIC folder that exists; otherwise nothing, and nothing said.
  void ScanIfFolderExists();

  // Form buttons and table notifications.
  void OnFolderSettings();
  // Starts a scan on its own thread; the table changes only when it has read the whole folder. While it
  // runs, everything that reads or changes the table is off, F5 and a second start are ignored, and the
  // scan button (or Esc) stops it, leaving the table as it was.
  void OnScan();
  void CancelScan();
  bool Scanning() const { return static_cast<bool>(m_scan); }
  // Until the running scan has ended and its rows (or its stop) are taken in; for the window closing, and
  // for callers that go on with the table it reads.
  void WaitForScan();
  void OnCalcListSize();
  void OnSelectAll();
  void OnColumnclickSongList(int column);
  void OnClickSongList();
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

  // Beyond the list: reopen a game song list, check the library.
  void OnOpenSongList();
  void OnCheckLibrary();

  // Everyday comfort: Space on the table, "打开所在文件夹" of the right-click menu.
  void OnSpaceSongList();
  void OnOpenContainingFolder(int row);

  // Bringing songs in and taking changes back: install chosen files, a chosen folder or files dropped on
  // the table; give the highlighted song another number; the history of replaced charts and Ctrl+Z. Every
  // change of a chart is kept in the history first, unless the person turned that off for this run.
  void OnInstallSongs();
  void OnInstallFolder();
  void OnInstallPack();
  void OnSongsDropped(const QStringList& localPaths);
  void InstallFrom(const std::vector<std::string>& gbkSources);
  void OnRenumber();
  void OnHistory();
  void OnUndoChange();
  void OnRedoChange();
  void SetKeepHistory(bool on);
  History& HistoryStore() { return m_history; }

  // Highlights exactly these rows (positions), as a mouse would; for tests and scripted screenshots.
  void SelectRows(std::span<const std::size_t> rows);

 signals:
  // A text for the frame's status bar.
  void StatusMessage(const QString& text);
  // A scan started or ended: the frame turns off its commands that need the table meanwhile.
  void ScanRunning(bool running);
  // How many songs are ticked ("已勾选3首"), and while rows are hidden how many of those are not shown.
  void TickSummary(const QString& text);

 private:
  // The form's buttons, the table's clicks and keys, its drops and its menu, to the handlers.
  void ConnectForm();
  void ConnectSongList();
  // The form's data exchange: fields into m_fields, m_fields back into the fields.
  void UpdateData(bool fromForm);
  std::vector<std::size_t> SelectedRows() const;
  // The highlight moved (a click or a key): a single highlighted row is loaded into the editor, after the
  // question about unsaved texts; with several the cover shows the current row.
  void OnHighlightMoved(int currentRow);
  // Loads `row`'s title and levels into the editor and shows its cover.
  void LoadRow(std::size_t row);
  bool HasUnsavedEdits();
  // After the table changed: the editor and the cover show their songs as they are now, follow one that
  // was renumbered in its row, and are emptied when it is gone.
  void FollowTable(const SongTable& before, const TableChange& change);
  void EmptyEditor();
  // The scan's rows, its summary or its stop, taken in on the window's thread.
  void FinishScan();
  // The sort the person chose, applied to a fresh table, and shown in the header.
  void KeepSort();
  // The song in the editor and the one on show are about the folder read now; a scan of another folder,
  // or none yet, means the table does not describe it.
  bool TableDescribesFolder() const;
  // "编号12 歌名" of a row, as the status bar names a song.
  QString SongLabel(std::size_t row) const;
  // The status bar names the song a restore, a Ctrl+Z or a Ctrl+Y put back.
  void SayRestored(const OperationResult& result);
  // Slot 0 of the settings file, read afresh as every click and key does.
  std::optional<std::string> ReadMusicFolder() const;
  History* HistoryForRun();
  // What an operation on the shown table is handed.
  OperationContext Context();
  // Every handler runs its operation the same way: on a copy of the table, then the result goes to the
  // model in one step (Apply), the list keeps its top song and the count follows the table.
  template <typename Operation>
  auto Run(Operation&& operation);
  void Apply(SongTable&& working, const TableChange& change);

  SongTable m_table;
  SongTableModel* m_model = nullptr;
  Interaction& m_ui;

  std::string m_strSettingsPath;  // GBK
  std::optional<SongEditTarget> m_editTarget;
  FormFields m_loaded;  // the editor's texts as loaded or last saved
  std::optional<SortKey> m_lastSort;
  std::optional<std::string> m_scannedFolder;  // GBK, the MUSIC folder the table was scanned from
  std::unique_ptr<BackgroundScan> m_scan;      // the scan under way
  QElapsedTimer m_scanTimer;
  bool m_scanFolderReady = false;
  QPointer<QWidget> m_focusBeforeScan;
  QAction* m_cancelScan = nullptr;
  History m_history{DefaultHistoryFolder()};
  bool m_keepHistory = true;

  LibraryForm m_form;
  FormFields m_fields;
  ui::CoverPreview* m_preview = nullptr;
  SongSearch* m_search = nullptr;
  SongListMenu* m_menu = nullptr;
};

}  // namespace vx::ui
