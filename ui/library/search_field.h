#pragma once
// The search field of the toolbar. Typing only highlights; the two Enter keys are the only way it changes
// the table, so they are told apart here: Enter ticks, Shift+Enter unticks.

#include <QLineEdit>

namespace vx::ui {

class SearchField : public QLineEdit {
  Q_OBJECT

 public:
  explicit SearchField(QWidget* parent = nullptr);

 signals:
  void Submitted(const QString& text, bool tick);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vx::ui
