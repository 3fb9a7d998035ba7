#include "ui/library/cover_preview.h"

#include "core/formats/cover.h"
#include "core/library/scan.h"
#include "core/messages.h"
#include "core/operations/covers.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "ui/common/qt_text.h"
#include "ui/library/cover_frame.h"

namespace vx::ui {

CoverPreview::CoverPreview(CoverFrame* frame, SongTable& table, std::string gbkSettingsPath, Interaction& ui,
                           std::function<History*()> history, QObject* parent)
    : QObject(parent),
      m_frame(frame),
      m_table(table),
      m_settingsPath(std::move(gbkSettingsPath)),
      m_ui(ui),
      m_history(std::move(history)) {
  // Answered once the drop is over, so a message box never holds up the program the file came from.
  connect(m_frame, &CoverFrame::PictureDropped, this, &CoverPreview::OnPictureDropped, Qt::QueuedConnection);
  connect(m_frame, &CoverFrame::DropRefused, this, &CoverPreview::OnDropRefused, Qt::QueuedConnection);
}

void CoverPreview::Show(std::size_t row) {
  if (const auto musicDir = ReadFolder(m_settingsPath, FolderSlot::kMusic)) ShowFrom(*musicDir, row);
}

void CoverPreview::ShowFrom(const std::string& gbkMusicDir, std::size_t row) {
  m_songId = m_table.Row(row).Id();
  const CoverRead read = ReadCoverExplained(ChartPath(gbkMusicDir, *m_songId));
  // A cover that fails the marker test leaves the last good one on display. One that cannot be read at
  // all (the chart gone, the cover outside it) clears the frame rather than show another song's.
  if (read.failedMarkerTest) return;
  m_frame->SetCover(read.cover ? QImage::fromData(read.cover->data(), static_cast<int>(read.cover->size()))
                               : QImage());
}

void CoverPreview::ShowNone(std::size_t row) {
  m_songId = m_table.Row(row).Id();
  m_frame->SetCover(QImage());
}

void CoverPreview::Refresh() {
  if (m_songId)
    if (const auto row = m_table.FindId(*m_songId)) Show(*row);
}

void CoverPreview::Follow(std::optional<int> id) {
  m_songId = id;
  if (!id) {
    m_frame->SetCover(QImage());
    return;
  }
  Refresh();
}

void CoverPreview::OnPictureDropped(const QString& localFile) {
  if (!m_songId) {
    m_ui.ShowMessage(Gbk(msg::kChooseSongFirst), Gbk(msg::kAppTitle));
    return;
  }
  // A name GBK cannot spell is said, not mangled, as a chooser says it.
  std::string unmappable;
  if (!GbkFromUtf8(localFile.toStdString(), &unmappable)) {
    m_ui.ShowMessage(Gbk(msg::kPathUnmappable) + CodePointName(unmappable), Gbk(msg::kAppTitle));
    return;
  }
  const std::string gbkFile = GbkPath(PathFromQt(localFile));
  OperationContext ctx{m_table, m_settingsPath, m_ui, m_history()};
  if (OnDropCover(ctx, *m_songId, gbkFile).outcome != Outcome::kDone) return;
  Refresh();
}

void CoverPreview::OnDropRefused() {
  m_ui.ShowMessage(Gbk(msg::kDropOneJpeg), Gbk(msg::kAppTitle));
}

}  // namespace vx::ui
