// The MUSIC folder's writer lock on POSIX systems: flock() on the folder's own descriptor. A lock belongs
// to the open file description, so two threads of one process that open the folder each exclude each other
// as two processes do; a thread that already holds the folder counts up instead of waiting on itself.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <thread>
#include <utility>

#include "core/io/library_lock.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using FolderIdentity = std::pair<dev_t, ino_t>;

struct HeldFolder {
  int fd = -1;
  int depth = 0;
};

// What this thread holds, by folder identity rather than by spelling: a link or another spelling of the
// same folder is the same lock.
thread_local std::map<FolderIdentity, HeldFolder> t_held;

bool LockWithin(int fd, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace

// Releases on destruction, so a moved-from or moved-over lock still counts right.
struct LibraryLock::Held {
  FolderIdentity identity;
  ~Held() {
    auto it = t_held.find(identity);
    if (it == t_held.end() || --it->second.depth > 0) return;
    ::close(it->second.fd);  // closing the last descriptor of the description releases the flock
    t_held.erase(it);
  }
};

LibraryLock::LibraryLock(std::string_view gbkMusicDir, std::chrono::milliseconds patience) {
  const std::string native = NativePath(gbkMusicDir).string();
  const int fd = ::open(native.empty() ? "." : native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // kNoFolder
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return;
  }
  const FolderIdentity identity{st.st_dev, st.st_ino};
  if (auto it = t_held.find(identity); it != t_held.end()) {
    ::close(fd);
    ++it->second.depth;
  } else if (LockWithin(fd, patience)) {
    t_held[identity] = HeldFolder{fd, 1};
  } else {
    ::close(fd);
    m_status = Status::kBusy;
    return;
  }
  m_status = Status::kHeld;
  m_held = std::make_unique<Held>();
  m_held->identity = identity;
}

LibraryLock::~LibraryLock() = default;

LibraryLock::LibraryLock(LibraryLock&&) noexcept = default;
LibraryLock& LibraryLock::operator=(LibraryLock&&) noexcept = default;

}  // namespace vx
