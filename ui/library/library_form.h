#pragma once
// The song library form's controls: the cover frame, the counters, the scan and settings buttons, the
// song table and the editor row, each placed in dialog units as the form was drawn, and where they go
// when the form grows. The form builds them; the view wires them to its handlers.

#include <QFont>
#include <QSize>
#include <QString>
#include <array>

#include "ui/common/dialog_units.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QValidator;
class QWidget;

namespace vx::ui {

class CoverFrame;
class FormAnchors;
class SongListView;
class SongTableModel;

// The form is laid out in dialog units; with its 9 pt font one unit is 1.5 px.
inline constexpr double kFormPxPerUnit = 1.5;
inline constexpr DialogUnits FormDlu{kFormPxPerUnit};
inline constexpr int kFormWidthUnits = 606;
inline constexpr int kFormHeightUnits = 284;

// What the form's fields hold, exchanged as a whole: the handlers work on these and put them back.
struct FormFields {
  bool selectAll = false;
  int folderSongs = 0;
  int listSizeKB = 0;
  QString title, easy, normal, hard;
};

class LibraryForm {
 public:
  // Builds every control on `form`, which owns them; the song table shows `model`.
  LibraryForm(QWidget* form, SongTableModel* model);

  CoverFrame* Cover() const { return m_cover; }
  QCheckBox* SelectAll() const { return m_selectAll; }
  QPushButton* CalcListSize() const { return m_calcListSize; }
  QPushButton* FolderSettings() const { return m_folderSettings; }
  QPushButton* Scan() const { return m_scan; }
  SongListView* List() const { return m_list; }
  QPushButton* Save() const { return m_save; }
  // The title and the three level fields, where Enter saves.
  std::array<QLineEdit*, 4> EditorFields() const {
    return {m_titleEdit, m_easyEdit, m_normalEdit, m_hardEdit};
  }

  // The form's size at which every control sits where it is placed; beyond it the table takes the room.
  void SetRestSize(QSize rest);

  // While a scan runs every control that reads or changes the table is off and the scan button is its
  // 取消; the progress bar counts only then and is empty otherwise.
  void SetScanning(bool on);
  void ShowScanProgress(int done, int total);

  // The data exchange: the fields as typed, and the fields showing `fields`.
  FormFields Read() const;
  void Show(const FormFields& fields);

 private:
  // The form's font and the size it is drawn at; gives the font.
  QFont SetUpForm();
  // Left of the table: the cover, the counters, the progress bar and the two big buttons.
  void BuildLeftColumn();
  void BuildSongList(SongTableModel* model, const QFont& font);
  // Under the table: title and levels of the clicked song, and the save button.
  void BuildEditorRow();
  // The table grows with the form; the editor row keeps to its bottom edge.
  void Anchor();

  QLabel* Label(const char* text, QRect rect, const char* name);
  QPushButton* Button(const char* text, QRect rect, const char* name);
  QLineEdit* Edit(QRect rect, const char* name);

  QWidget* m_form;
  QValidator* m_digitsOnly = nullptr;
  CoverFrame* m_cover = nullptr;
  QCheckBox* m_selectAll = nullptr;
  QLineEdit* m_folderSongs = nullptr;
  QPushButton* m_calcListSize = nullptr;
  QLineEdit* m_listSize = nullptr;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_folderSettings = nullptr;
  QPushButton* m_scan = nullptr;
  SongListView* m_list = nullptr;
  QLineEdit* m_titleEdit = nullptr;
  QLabel* m_easyLabel = nullptr;
  QLineEdit* m_easyEdit = nullptr;
  QLabel* m_normalLabel = nullptr;
  QLineEdit* m_normalEdit = nullptr;
  QLabel* m_hardLabel = nullptr;
  QLineEdit* m_hardEdit = nullptr;
  QPushButton* m_save = nullptr;
  FormAnchors* m_anchors = nullptr;
};

}  // namespace vx::ui
