#pragma once
// What the window remembers between starts: its place and size, the song table's column widths, the
// last sort, and the folder each kind of chooser was last used in. Kept in vxorganizer.ini (INI, read
// and written by QSettings) beside REC.re in the start folder; REC.re itself is never touched. This is
// the only code that knows the file's keys. A missing file, a damaged one or a value that makes no sense
// reads as "nothing remembered", without a word.

#include <QRect>
#include <QSettings>
#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace vx::ui {

class WindowSettings {
 public:
  explicit WindowSettings(const QString& iniPath);

  // The file in the start folder (`gbkStartFolder` as the frame gets it).
  static QString PathIn(const std::string& gbkStartFolder);

  struct Placement {
    QRect geometry;  // of the window when not maximized: position of its frame, size of its inside
    bool maximized = false;
  };
  std::optional<Placement> WindowPlacement() const;
  void SetWindowPlacement(const Placement& placement);

  // One width per column of the song table, each from 1 to 2000 pixels.
  std::optional<std::vector<int>> ColumnWidths(int columnCount) const;
  void SetColumnWidths(const std::vector<int>& widths);

  struct Sort {
    int column = 0;
    bool ascending = false;
  };
  // The column and direction of the last sort by a header click; the caller checks the column.
  std::optional<Sort> LastSort() const;
  void SetLastSort(const Sort& sort);

  // The folder a chooser of this kind was last used in; empty when none.
  QString LastFolder(const QString& kind) const;
  void SetLastFolder(const QString& kind, const QString& folder);

  // Writes what was set; also done when this object goes.
  void Save();

 private:
  std::optional<int> Int(const QString& key) const;
  std::optional<bool> Bool(const QString& key) const;

  QSettings m_file;
};

}  // namespace vx::ui
