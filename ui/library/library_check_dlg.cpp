#include "ui/library/library_check_dlg.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "ui/library/library_texts.h"

namespace vx::ui {

CLibraryCheckDlg::CLibraryCheckDlg(const QString& report, bool canTick, bool canRemoveLeftovers,
                                   QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(FromUtf8(kCheckDialogTitle));
  setObjectName(QStringLiteral("libraryCheck"));

  m_report = new QPlainTextEdit(report, this);
  m_report->setObjectName(QStringLiteral("report"));
  m_report->setReadOnly(true);
  // One finding per line; wrapping would make one long path look like two findings.
  m_report->setLineWrapMode(QPlainTextEdit::NoWrap);

  m_tick = new QPushButton(FromUtf8(kCheckTickButton), this);
  m_tick->setObjectName(QStringLiteral("tickReported"));
  m_tick->setEnabled(canTick);
  m_removeLeftovers = new QPushButton(FromUtf8(kCheckRemoveLeftoversButton), this);
  m_removeLeftovers->setObjectName(QStringLiteral("removeLeftovers"));
  m_removeLeftovers->setEnabled(canRemoveLeftovers);
  connect(m_removeLeftovers, &QPushButton::clicked, this, [this] {
    emit RemoveLeftoversRequested();
    accept();
  });
  auto* close = new QPushButton(FromUtf8(kCloseButton), this);
  close->setObjectName(QStringLiteral("close"));
  close->setDefault(true);
  connect(m_tick, &QPushButton::clicked, this, [this] {
    emit TickRequested();
    accept();
  });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_tick);
  buttons->addWidget(m_removeLeftovers);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_report, 1);
  layout->addLayout(buttons);
  resize(640, 400);
}

}  // namespace vx::ui
