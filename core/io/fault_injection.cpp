#include "core/io/fault_injection.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace vx::fault_injection {
namespace detail {
std::atomic<bool> g_active{false};
}  // namespace detail

namespace {

struct State {
  std::mutex mutex;
  std::uint64_t nth = 0;
  std::uint64_t calls = 0;
  bool fired = false;
  FsError error = FsError::kNoSpace;
  std::optional<FsCall> only;
  std::optional<int> crashCode;
};

State& Get() {
  static State state;
  return state;
}

int ToErrno(FsError error) {
  switch (error) {
    case FsError::kNoSpace:
      return ENOSPC;
    case FsError::kIo:
      return EIO;
    case FsError::kAccess:
      return EACCES;
  }
  return EIO;
}

}  // namespace

void Arm(std::uint64_t nth, FsError error, std::optional<FsCall> only) {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  s.nth = nth;
  s.calls = 0;
  s.fired = false;
  s.error = error;
  s.only = only;
  s.crashCode.reset();
  detail::g_active.store(true);
}

void ArmCrash(std::uint64_t nth, int exitCode) {
  Arm(nth);
  State& s = Get();
  std::lock_guard lock(s.mutex);
  s.crashCode = exitCode;
}

void Disarm() {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  detail::g_active.store(false);
  s.nth = 0;
}

std::uint64_t Calls() {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  return s.calls;
}

bool Fired() {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  return s.fired;
}

int ArmedErrno() {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  return ToErrno(s.error);
}

bool detail::InjectedSlow(FsCall call) {
  State& s = Get();
  std::lock_guard lock(s.mutex);
  if (!detail::g_active.load() || (s.only && *s.only != call)) return false;
  if (++s.calls != s.nth) return false;
  if (s.crashCode) std::_Exit(*s.crashCode);
  s.fired = true;
  errno = ToErrno(s.error);
  return true;
}

}  // namespace vx::fault_injection
