#pragma once
// A scan of the MUSIC folder on a thread of its own, so the window keeps answering while thousands of
// charts are read. Its progress and its end come to the window's thread as queued signals; the rows are
// taken once it has finished.

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "core/library/scan.h"
#include "core/library/song_table.h"

namespace vx::ui {

class BackgroundScan : public QObject {
  Q_OBJECT

 public:
  // `table` is the scan's own starting table (its sort directions carry over); the window's table is
  // never touched from the thread.
  BackgroundScan(SongTable table, std::string gbkSettingsPath, QObject* parent = nullptr);
  // Once the signals are connected, so not even the first report is lost.
  void Start();
  // Stops the scan and waits for its thread, so nothing outlives the window it reports to.
  ~BackgroundScan() override;

  // Tests only: called on the scan's thread after each progress report has been sent, so a test can
  // hold a scan halfway for as long as it needs.
  static inline std::function<void(int done, int total)> afterProgressForTests;

  void Stop() { m_thread.request_stop(); }
  bool Stopped() const { return m_thread.get_stop_token().stop_requested(); }
  // Blocks until the thread has ended; Finished may still be on its way.
  void Wait();

  // Valid once the thread has ended: the table read, and how it went (empty when the settings file
  // could not be opened).
  SongTable& Table() { return m_table; }
  const std::optional<ScanOutcome>& Outcome() const { return m_outcome; }

 signals:
  void Progress(int done, int total);
  void Finished();

 private:
  SongTable m_table;
  std::string m_settingsPath;
  std::optional<ScanOutcome> m_outcome;
  std::jthread m_thread;  // last, so it is stopped and joined before the results go
};

}  // namespace vx::ui
