#pragma once
// "只显示匹配": hides the rows of the song table that do not match the search, in the table view only.
// The core table and its model keep every row in its place, so ticks, marks and every operation still
// reach the hidden rows, and sorting orders all of them. Which rows match is the core's MatchingRows,
// the same as the search's highlight.

#include <QObject>
#include <optional>

#include "core/library/song_query.h"
#include "core/library/song_table.h"

class QTableView;

namespace vx::ui {

class SongListFilter : public QObject {
  Q_OBJECT

 public:
  // `list` shows `table` through its model; both outlive the filter.
  SongListFilter(QTableView* list, const SongTable& table, QObject* parent = nullptr);

  void SetEnabled(bool on);
  bool Enabled() const { return m_enabled; }
  // The query of the search field; none for a blank field, which shows every row.
  void SetQuery(std::optional<SongQuery> query);
  // On, with a query: some rows may be hidden.
  bool Narrowing() const { return m_enabled && m_query.has_value(); }

  bool Hides(std::size_t row) const;
  std::size_t TickedCount() const { return m_table.TickedCount(); }
  std::size_t HiddenTickedCount() const;

 signals:
  // Rows were shown or hidden, or ticks changed.
  void Changed();

 private:
  // Brings the hidden rows in line with the query; rows whose state is right are not touched, so typing
  // one more letter costs only the rows it hides.
  void Apply();

  QTableView* m_list;
  const SongTable& m_table;
  bool m_enabled = false;
  std::optional<SongQuery> m_query;
};

}  // namespace vx::ui
