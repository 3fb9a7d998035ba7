#pragma once
// The black-bordered frame the cover is drawn into, stretched over the whole frame
// whatever the picture's own proportions, and drawn again on every repaint. Files dropped on it are
// sorted here: one .jpg file is offered as the new cover, anything else is refused.

#include <QFrame>
#include <QImage>

namespace vx::ui {

class CoverFrame : public QFrame {
  Q_OBJECT

 public:
  explicit CoverFrame(QWidget* parent = nullptr);

  // A null image clears the frame: bytes that passed the marker test but do not decode show nothing.
  void SetCover(QImage cover);
  const QImage& Cover() const { return m_cover; }

 signals:
  // One local file whose name ends in .jpg (in any case).
  void PictureDropped(const QString& localFile);
  // Anything else: several files, another kind of file, text.
  void DropRefused();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QImage m_cover;
};

}  // namespace vx::ui
