#pragma once
// The library check's report, read-only, with a button that ticks the songs it names. The report is made
// before the dialog opens; the dialog only shows it and asks for the tick.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vx::ui {

class CLibraryCheckDlg : public QDialog {
  Q_OBJECT

 public:
  // `report` is the report text, UTF-8 already; `canTick` is whether it names any song of the table (a
  // clean report, or one only about file names the game never loads, names none).
  CLibraryCheckDlg(const QString& report, bool canTick, QWidget* parent = nullptr);

  QPlainTextEdit* ReportView() const { return m_report; }
  QPushButton* TickButton() const { return m_tick; }

 signals:
  // The person asked for the named songs to be ticked; the dialog closes after it.
  void TickRequested();

 private:
  QPlainTextEdit* m_report = nullptr;
  QPushButton* m_tick = nullptr;
};

}  // namespace vx::ui
