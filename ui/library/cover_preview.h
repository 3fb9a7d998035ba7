#pragma once
// What the cover frame shows: the cover of the song last clicked or reached by key, read from its chart
// in the MUSIC folder of the settings file, and a picture dropped on the frame imported as that song's
// cover.

#include <QObject>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"

namespace vx::ui {

class CoverFrame;

class CoverPreview : public QObject {
  Q_OBJECT

 public:
  // `frame`, `table` and `ui` must outlive the preview; `history` gives the history a cover import
  // records into (null when the person turned it off).
  CoverPreview(CoverFrame* frame, SongTable& table, std::string gbkSettingsPath, Interaction& ui,
               std::function<History*()> history, QObject* parent = nullptr);

  const CoverFrame* Frame() const { return m_frame; }
  // The song the preview is about. The frame may still show an earlier song's picture when this one's
  // cover failed the marker test.
  std::optional<int> SongId() const { return m_songId; }

  // The cover of the song in `row`, from the MUSIC folder read now; nothing happens without a settings
  // file.
  void Show(std::size_t row);
  void ShowFrom(const std::string& gbkMusicDir, std::size_t row);
  // The song in `row` when no settings file says where its cover is: the frame is cleared, or the last
  // song's cover would be shown as this one's.
  void ShowNone(std::size_t row);
  // The song on show read again, after its chart may have changed.
  void Refresh();
  // The song on show is now `id` (it got another number); nothing when it is gone.
  void Follow(std::optional<int> id);

 private:
  void OnPictureDropped(const QString& localFile);
  void OnDropRefused();

  CoverFrame* m_frame;
  SongTable& m_table;          // a dropped cover is an operation on it
  std::string m_settingsPath;  // GBK
  Interaction& m_ui;
  std::function<History*()> m_history;
  std::optional<int> m_songId;
};

}  // namespace vx::ui
