#include "ui/library/song_list_filter.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <vector>

namespace vx::ui {

SongListFilter::SongListFilter(QTableView* list, const SongTable& table, QObject* parent)
    : QObject(parent), m_list(list), m_table(table) {
  QAbstractItemModel* model = list->model();
  // Connected after the view, so the view has taken in each change before the rows are hidden again.
  connect(model, &QAbstractItemModel::modelReset, this, &SongListFilter::Apply);
  connect(model, &QAbstractItemModel::layoutChanged, this, &SongListFilter::Apply);
  connect(model, &QAbstractItemModel::rowsInserted, this, &SongListFilter::Apply);
  connect(model, &QAbstractItemModel::rowsRemoved, this, &SongListFilter::Apply);
  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            // A tick changes no match; an edited title may.
            if (roles == QList<int>{Qt::CheckStateRole}) {
              emit Changed();
            } else {
              Apply();
            }
          });
}

void SongListFilter::SetEnabled(bool on) {
  if (on == m_enabled) return;
  m_enabled = on;
  Apply();
}

void SongListFilter::SetQuery(std::optional<SongQuery> query) {
  const bool was = Narrowing();
  m_query = std::move(query);
  if (was || Narrowing()) Apply();
}

bool SongListFilter::Hides(std::size_t row) const {
  return m_list->isRowHidden(static_cast<int>(row));
}

std::size_t SongListFilter::HiddenTickedCount() const {
  std::size_t hidden = 0;
  for (const std::size_t row : m_table.TickedRows())
    if (Hides(row)) ++hidden;
  return hidden;
}

void SongListFilter::Apply() {
  const std::size_t rows = m_table.Size();
  std::vector<bool> shown(rows, !Narrowing());
  if (Narrowing())
    for (const std::size_t row : MatchingRows(m_table, *m_query)) shown[row] = true;
  // Hiding a row moves every row below it; the header works that out once, when it paints again.
  QHeaderView* header = m_list->verticalHeader();
  const bool updates = header->updatesEnabled();
  header->setUpdatesEnabled(false);
  for (std::size_t row = 0; row < rows; ++row)
    if (Hides(row) == shown[row]) m_list->setRowHidden(static_cast<int>(row), !shown[row]);
  header->setUpdatesEnabled(updates);
  m_list->viewport()->update();
  emit Changed();
}

}  // namespace vx::ui
