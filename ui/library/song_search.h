#pragma once
// The toolbar's search over the song table: typing highlights the matching songs and names how many,
// Enter ticks them (Shift+Enter unticks), and "只显示匹配" hides the others in the view. While rows are
// hidden, the ticked songs are counted and how many of them are out of sight.

#include <QObject>
#include <QString>
#include <vector>

#include "core/library/song_table.h"

namespace vx::ui {

class SongListFilter;
class SongListView;
class SongTableModel;

class SongSearch : public QObject {
  Q_OBJECT

 public:
  // `list` shows `table` through `model`; all three outlive the search.
  SongSearch(SongListView* list, SongTableModel* model, SongTable& table, QObject* parent = nullptr);

  const SongListFilter* Filter() const { return m_filter; }

  // Highlights while typing; the table changes only on Enter.
  void OnTextChanged(const QString& text);
  void OnSubmitted(const QString& text, bool tick);
  void SetMatchesOnly(bool on);

 signals:
  // A text for the frame's status bar.
  void StatusMessage(const QString& text);
  // How many songs are ticked ("已勾选3首"), and while rows are hidden how many of those are not shown.
  void TickSummary(const QString& text);

 private:
  void ReportTickSummary();
  // The search's matches highlighted in the list.
  void Highlight(const std::vector<std::size_t>& rows);

  SongListView* m_list;
  SongTableModel* m_model;
  SongTable& m_table;
  SongListFilter* m_filter;
};

}  // namespace vx::ui
