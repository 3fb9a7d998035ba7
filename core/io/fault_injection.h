#pragma once
// A seam for tests. Every call of the platform layer that changes the file system (creating, writing,
// flushing, renaming, linking, removing or moving a file, making a folder, the trash) asks FaultInjected
// first. A test arms it to make the n-th such call fail with an error of its choosing, and so walks every
// failure path of an operation. Nothing in vxtool or the window can arm it; disarmed, it costs one relaxed
// atomic load per call.

#include <atomic>
#include <cstdint>
#include <optional>

namespace vx {

enum class FsCall { kCreate, kWrite, kFlush, kRename, kLink, kRemove, kMakeFolder, kTrash };
enum class FsError { kNoSpace, kIo, kAccess };

namespace fault_injection {

// From now on counts the calls (of kind `only`, or of every kind) and makes the `nth` of them (counted
// from 1) fail with `error`. With `nth` 0 it only counts.
void Arm(std::uint64_t nth, FsError error = FsError::kNoSpace, std::optional<FsCall> only = std::nullopt);
// From now on counts the calls and ends the process at once (std::_Exit with `exitCode`, no clean-up of
// any kind) right before the `nth`: a crash at that point, for tests that run the operation in a child.
void ArmCrash(std::uint64_t nth, int exitCode);
void Disarm();
// The calls counted since Arm, and whether the armed call came.
std::uint64_t Calls();
bool Fired();
// The error of the armed call, as errno (ENOSPC, EIO, EACCES); the Windows layer maps it to its own.
int ArmedErrno();

namespace detail {
extern std::atomic<bool> g_active;
bool InjectedSlow(FsCall call);
}  // namespace detail
}  // namespace fault_injection

// For the platform layer, right before the real call: true when this call must fail, with errno set.
inline bool FaultInjected(FsCall call) {
  return fault_injection::detail::g_active.load(std::memory_order_relaxed) &&
         fault_injection::detail::InjectedSlow(call);
}

}  // namespace vx
