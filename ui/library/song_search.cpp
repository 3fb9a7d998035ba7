#include "ui/library/song_search.h"

#include <QItemSelectionModel>
#include <algorithm>
#include <span>

#include "core/library/song_query.h"
#include "core/messages.h"
#include "ui/common/qt_text.h"
#include "ui/library/song_list_filter.h"
#include "ui/library/song_list_view.h"
#include "ui/library/song_table_model.h"

namespace vx::ui {

SongSearch::SongSearch(SongListView* list, SongTableModel* model, SongTable& table, QObject* parent)
    : QObject(parent), m_list(list), m_model(model), m_table(table) {
  m_filter = new SongListFilter(m_list, m_table, this);
  connect(m_filter, &SongListFilter::Changed, this, &SongSearch::ReportTickSummary);
}

void SongSearch::OnTextChanged(const QString& text) {
  if (text.trimmed().isEmpty()) {
    m_filter->SetQuery(std::nullopt);
    emit StatusMessage(QString());
    return;
  }
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorTextUtf8(*error)));
    return;
  }
  const std::vector<std::size_t> rows = MatchingRows(m_table, std::get<SongQuery>(parsed));
  m_filter->SetQuery(std::get<SongQuery>(parsed));
  Highlight(rows);
  if (!rows.empty()) m_list->scrollTo(m_model->index(static_cast<int>(rows.front()), 0));
  emit StatusMessage(QString::fromStdString(MatchCountTextUtf8(rows.size())));
}

void SongSearch::OnSubmitted(const QString& text, bool tick) {
  const auto parsed = ParseSongQuery(text.toStdString());
  if (const auto* error = std::get_if<SongQueryError>(&parsed)) {
    emit StatusMessage(QString::fromStdString(SongQueryErrorTextUtf8(*error)));
    return;
  }
  const std::size_t matched = TickMatching(m_table, std::get<SongQuery>(parsed), tick);
  m_model->AllRowsChanged();
  emit StatusMessage(FromUtf8(tick ? msg::kQueryTicked : msg::kQueryUnticked) + QString::number(matched) +
                     FromUtf8(msg::kQueryMatchesAfter));
}

void SongSearch::SetMatchesOnly(bool on) {
  m_filter->SetEnabled(on);
  if (!m_filter->Narrowing()) return;
  std::vector<std::size_t> shown;
  for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
    if (!m_filter->Hides(static_cast<std::size_t>(index.row())))
      shown.push_back(static_cast<std::size_t>(index.row()));
  std::sort(shown.begin(), shown.end());
  Highlight(shown);
}

void SongSearch::Highlight(const std::vector<std::size_t>& rows) {
  // Where only the matches are shown, highlighting them all would paint every row in sight as chosen and
  // tell the player nothing; the first match alone is highlighted, as a place to start from.
  if (m_filter->Narrowing() && rows.size() > 1) {
    m_list->SelectRows(std::span(rows).first(1));
    return;
  }
  m_list->SelectRows(rows);
}

void SongSearch::ReportTickSummary() {
  // How many songs a command on the ticked ones would reach is always in sight.
  if (!m_filter->Narrowing()) {
    emit TickSummary(FromUtf8(msg::kTickedBefore) + QString::number(m_filter->TickedCount()) +
                     FromUtf8(msg::kQueryMatchesAfter));
    return;
  }
  emit TickSummary(FromUtf8(msg::kTickedBefore) + QString::number(m_filter->TickedCount()) +
                   FromUtf8(msg::kTickedHiddenBefore) + QString::number(m_filter->HiddenTickedCount()) +
                   FromUtf8(msg::kTickedHiddenAfter));
}

}  // namespace vx::ui
