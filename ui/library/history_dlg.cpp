#include "ui/library/history_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "ui/library/library_texts.h"

namespace vx::ui {

CHistoryDlg::CHistoryDlg(std::function<std::vector<HistoryEntry>()> entries, QWidget* parent)
    : QDialog(parent), m_load(std::move(entries)) {
  setWindowTitle(FromUtf8(kHistoryDialogTitle));
  setObjectName(QStringLiteral("history"));

  m_list = new QTableWidget(0, static_cast<int>(kHistoryColumns.size()), this);
  m_list->setObjectName(QStringLiteral("entries"));
  QStringList headers;
  for (std::string_view column : kHistoryColumns) headers << FromUtf8(column);
  m_list->setHorizontalHeaderLabels(headers);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Rows and headers as the song table draws them: no grid, one line per row, titles on the left.
  m_list->setShowGrid(false);
  m_list->setWordWrap(false);
  m_list->verticalHeader()->hide();
  m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
  m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_list->horizontalHeader()->setHighlightSections(false);
  m_list->horizontalHeader()->setStretchLastSection(true);
  m_list->setColumnWidth(0, 150);
  m_list->setColumnWidth(1, 50);
  m_list->setColumnWidth(2, 180);

  auto* buttons = new QDialogButtonBox(this);
  m_restore = buttons->addButton(FromUtf8(kHistoryRestoreButton), QDialogButtonBox::ActionRole);
  m_restore->setObjectName(QStringLiteral("restore"));
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setText(FromUtf8(kCloseButton));
  close->setObjectName(QStringLiteral("close"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_list, &QTableWidget::itemSelectionChanged, this,
          [this] { m_restore->setEnabled(!m_list->selectedItems().isEmpty()); });
  connect(m_restore, &QPushButton::clicked, this, [this] {
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_entries.size())) return;
    const HistoryEntry entry = m_entries[static_cast<std::size_t>(row)];
    emit RestoreRequested(entry);
    Reload();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  resize(560, 360);
  Reload();
}

void CHistoryDlg::Reload() {
  m_entries = m_load();
  m_list->setRowCount(static_cast<int>(m_entries.size()));
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const HistoryEntry& e = m_entries[i];
    const QStringList cells = {QString::fromStdString(e.time), QString::number(e.id), FromGbk(e.title),
                               FromUtf8(HistoryOperationLabel(e.operation))};
    for (int c = 0; c < cells.size(); ++c)
      m_list->setItem(static_cast<int>(i), c, new QTableWidgetItem(cells[c]));
  }
  m_list->clearSelection();
  m_restore->setEnabled(false);
}

}  // namespace vx::ui
