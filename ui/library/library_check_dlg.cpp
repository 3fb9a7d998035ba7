#include "ui/library/library_check_dlg.h"

#include <QDialogButtonBox>
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

  auto* buttons = new QDialogButtonBox(this);
  m_tick = buttons->addButton(FromUtf8(kCheckTickButton), QDialogButtonBox::ActionRole);
  m_tick->setObjectName(QStringLiteral("tickReported"));
  m_tick->setEnabled(canTick);
  m_removeLeftovers = buttons->addButton(FromUtf8(kCheckRemoveLeftoversButton), QDialogButtonBox::ActionRole);
  m_removeLeftovers->setObjectName(QStringLiteral("removeLeftovers"));
  m_removeLeftovers->setEnabled(canRemoveLeftovers);
  connect(m_removeLeftovers, &QPushButton::clicked, this, [this] {
    emit RemoveLeftoversRequested();
    accept();
  });
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setText(FromUtf8(kCloseButton));
  close->setObjectName(QStringLiteral("close"));
  close->setDefault(true);
  connect(m_tick, &QPushButton::clicked, this, [this] {
    emit TickRequested();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_report, 1);
  layout->addWidget(buttons);
  resize(640, 400);
}

}  // namespace vx::ui
