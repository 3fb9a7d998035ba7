#pragma once
// "修改记录...": the history of replaced charts of the current MUSIC folder, newest first (time, ID, title,
// what was done), and "恢复" for the selected entry. The dialog only lists and asks; the restore is the
// view's, through the core.

#include <QDialog>
#include <functional>
#include <vector>

#include "core/history/history.h"

class QPushButton;
class QTableWidget;

namespace vx::ui {

class CHistoryDlg : public QDialog {
  Q_OBJECT

 public:
  // `entries` loads the list afresh (after every restore, which adds an entry of its own).
  CHistoryDlg(std::function<std::vector<HistoryEntry>()> entries, QWidget* parent = nullptr);

  QTableWidget* List() const { return m_list; }
  QPushButton* RestoreButton() const { return m_restore; }
  void Reload();

 signals:
  // The person asked for this entry to be put back.
  void RestoreRequested(const vx::HistoryEntry& entry);

 private:
  std::function<std::vector<HistoryEntry>()> m_load;
  std::vector<HistoryEntry> m_entries;
  QTableWidget* m_list = nullptr;
  QPushButton* m_restore = nullptr;
};

}  // namespace vx::ui
