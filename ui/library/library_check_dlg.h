#pragma once
// The library check's report, read-only, with a button that ticks the songs it names and one that removes
// the leftover temporary files it names. The report is made before the dialog opens; the dialog only
// shows it and asks.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace vx::ui {

class CLibraryCheckDlg : public QDialog {
  Q_OBJECT

 public:
  // `report` is the report text, UTF-8 already; `canTick` is whether it names any song of the table (a
  // clean report, or one only about file names the game never loads, names none).
  // `canRemoveLeftovers` is whether it names leftover temporary files.
  CLibraryCheckDlg(const QString& report, bool canTick, bool canRemoveLeftovers, QWidget* parent = nullptr);

  QPlainTextEdit* ReportView() const { return m_report; }
  QPushButton* TickButton() const { return m_tick; }
  QPushButton* RemoveLeftoversButton() const { return m_removeLeftovers; }

 signals:
  // The person asked for the named songs to be ticked; the dialog closes after it.
  void TickRequested();
  // The person asked for the leftover temporary files to be removed; the dialog closes after it.
  void RemoveLeftoversRequested();

 private:
  QPlainTextEdit* m_report = nullptr;
  QPushButton* m_tick = nullptr;
  QPushButton* m_removeLeftovers = nullptr;
};

}  // namespace vx::ui
