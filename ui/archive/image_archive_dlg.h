#pragma once
// The archive browser (dialog 138): one game image archive at a time, its entries in a list, a preview of
// the frames of image entries with a slider to step through them, export of the selected entries' frames
// as BMP files, and the background builder. It can be made larger: the list takes the room. The dialog reads
// the archive afresh for every event and holds no file open between them; the formats and every message are
// the core's.

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QTreeWidget>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/interaction.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vx::ui {

// The archive's entry list. A click is reported once the list has updated its highlight (as the button goes
// up); a key is reported before the list moves the highlight, so the preview can follow the neighbour.
class EntryListView : public QTreeWidget {
  Q_OBJECT

 public:
  explicit EntryListView(QWidget* parent = nullptr);

 signals:
  void Clicked();
  void KeyDown(int qtKey);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The frame preview: a sunken black frame with the preview drawn from the top-left corner of its client area,
// each axis clamped to that area by itself.
class ArchivePreview : public QFrame {
  Q_OBJECT

 public:
  explicit ArchivePreview(QWidget* parent = nullptr);

  void SetPicture(QImage picture);
  const QImage& Picture() const { return m_picture; }
  // Where the picture is drawn, in the frame's coordinates; empty while there is no picture.
  QRect DrawRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_picture;
};

// A frame BMP as DecodeFrame makes it (rows top row first, 16-bit X1R5G5B5) as a picture; null for bytes
// too short for their own size.
QImage FrameBmpToImage(const std::vector<std::uint8_t>& bmp, int width, int height);

class CImageArchiveDlg : public QDialog {
  Q_OBJECT

 public:
  // Reads the image-export folder from the settings file now; it stays empty when the file cannot be
  // read. `ui` must outlive the dialog.
  CImageArchiveDlg(std::string gbkSettingsPath, Interaction& ui, QWidget* parent = nullptr);

  // "打开VPI/VPA文件": asks for an archive, then OpenArchive.
  void OnOpenArchive();
  // Takes the archive as the current one, names it in the title and lists its directory; the preview and
  // the frame numbers are emptied. When the directory cannot be read, the list is emptied too and a
  // message gives the reader's reason; the path is kept either way, as a chooser's answer is.
  void OpenArchive(const std::string& gbkArchivePath);
  void OnClickEntryList();
  void OnKeydownEntryList(int qtKey);
  // The slider moved, by the person (programmatic range and position changes do not come here).
  void OnHScroll();
  // "导出图片" and "自制BMP背景图->VPI".
  void OnExportImages();
  void OnMakeBackground();

  // Highlights exactly these rows, as a mouse would; for tests and scripted screenshots.
  void SelectRows(std::span<const int> rows);

  EntryListView* EntryList() const { return m_entryList; }
  QSlider* FrameSlider() const { return m_frameSlider; }
  QComboBox* BackgroundCombo() const { return m_backgroundCombo; }
  const ArchivePreview* Preview() const { return m_preview; }
  const std::string& ArchivePath() const { return m_strArchivePath; }
  int CurrentFrame() const { return m_nCurrentFrame; }
  int FrameCount() const { return m_nFrameCount; }
  int CurrentRow() const { return m_nCurrentRow; }

 private:
  void BuildControls();
  // The entry list on the left, its columns and its clicks and keys.
  void BuildEntryList();
  void UpdateData();
  std::vector<std::size_t> SelectedRows() const;
  // The GBK name and the directory index a row carries; empty for a row that does not exist.
  std::optional<std::string> RowName(int row) const;
  int RowDirectoryIndex(int row) const;
  // The entry at `row` becomes the previewed one: its frame count, or an empty preview for an entry
  // without frames to show.
  void SelectEntry(int row);
  void EmptyPreview();
  void ShowFrame(int row, int frame);

  std::string m_strArchivePath;   // GBK
  std::string m_strSettingsPath;  // GBK
  std::string m_strImageDir;      // GBK
  Interaction& m_ui;

  int m_nFrameCount = 0;
  int m_nCurrentFrame = 0;  // 0 until an image entry has been selected
  int m_nCurrentRow = 0;

  EntryListView* m_entryList = nullptr;
  ArchivePreview* m_preview = nullptr;
  QSlider* m_frameSlider = nullptr;
  QLineEdit* m_currentFrameEdit = nullptr;
  QLineEdit* m_frameCountEdit = nullptr;
  QComboBox* m_backgroundCombo = nullptr;
};

}  // namespace vx::ui
