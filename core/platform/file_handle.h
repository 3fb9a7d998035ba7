#pragma once
// An open file or folder as the code above the platform layer holds it: a number it never looks into (a
// descriptor on POSIX systems, a HANDLE on Windows; -1 is neither), closed when it goes.

#include <cstdint>
#include <utility>

namespace vx::platform {

// Closes what `Native()` names; false when the system reports an error (a late write failure on NFS or a
// full disk shows only here). Defined by each platform.
bool CloseNative(std::intptr_t native);

class File {
 public:
  static constexpr std::intptr_t kNone = -1;

  File() = default;
  explicit File(std::intptr_t native) : m_native(native) {}
  ~File() {
    if (Ok()) CloseNative(m_native);
  }
  File(File&& other) noexcept : m_native(std::exchange(other.m_native, kNone)) {}
  File& operator=(File&& other) noexcept {
    if (this != &other) {
      if (Ok()) CloseNative(m_native);
      m_native = std::exchange(other.m_native, kNone);
    }
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Ok() const { return m_native != kNone; }
  std::intptr_t Native() const { return m_native; }
  // Closes now; callers that wrote check the answer.
  bool Close() { return CloseNative(std::exchange(m_native, kNone)); }

 private:
  std::intptr_t m_native = kNone;
};

}  // namespace vx::platform
