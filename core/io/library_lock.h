#pragma once
// One writer per MUSIC folder. Every operation that changes the files of a MUSIC folder holds this lock for
// its whole run, so a second organizer (a window or vxtool) never renames a song's file between two steps of
// another one. It leaves no file behind and dies with the process: an advisory lock on the folder itself on
// POSIX systems, a named mutex keyed by the folder's volume and file ID on Windows.

#include <chrono>
#include <memory>
#include <string_view>

namespace vx {

// Long enough for another organizer's edit or renumber to finish; short enough that a person waiting on a
// long install elsewhere hears why rather than a window that seems hung.
inline constexpr std::chrono::milliseconds kLibraryLockPatience{3000};

class LibraryLock {
 public:
  enum class Status {
    kHeld,      // this run may change the folder
    kBusy,      // another program held it for longer than the patience: change nothing
    kNoFolder,  // the folder cannot be opened; nothing can change it, so there is nothing to guard
  };

  // Takes the lock of `gbkMusicDir`, waiting up to `patience` for another writer. A thread that already
  // holds the lock of the same folder takes it again at once (an operation may call another one).
  explicit LibraryLock(std::string_view gbkMusicDir,
                       std::chrono::milliseconds patience = kLibraryLockPatience);
  ~LibraryLock();
  LibraryLock(const LibraryLock&) = delete;
  LibraryLock& operator=(const LibraryLock&) = delete;
  LibraryLock(LibraryLock&&) noexcept;
  LibraryLock& operator=(LibraryLock&&) noexcept;

  Status GetStatus() const { return m_status; }
  // True unless another program holds the folder.
  bool MayWrite() const { return m_status != Status::kBusy; }

 private:
  struct Held;
  Status m_status = Status::kNoFolder;
  std::unique_ptr<Held> m_held;
};

}  // namespace vx
