// One writer per MUSIC folder: the real lock, taken by two threads and (on POSIX) by two processes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

#include "core/io/library_lock.h"
#include "tests/support/temp_dir.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vx {
namespace {

using namespace std::chrono_literals;
using fixtures::TempDir;

LibraryLock::Status TryFromAnotherThread(const std::string& gbkFolder) {
  return std::async(std::launch::async, [&] { return LibraryLock(gbkFolder, 50ms).GetStatus(); }).get();
}

TEST(LibraryLock, ASecondWriterIsRefusedUntilTheFirstIsDoneAndOneThreadMayNest) {
  TempDir dir;
  {
    LibraryLock first(dir.Gbk());
    ASSERT_EQ(first.GetStatus(), LibraryLock::Status::kHeld);
    // An operation that calls another one takes the folder again without waiting on itself.
    LibraryLock nested(dir.Gbk(), 0ms);
    EXPECT_EQ(nested.GetStatus(), LibraryLock::Status::kHeld);
    EXPECT_EQ(TryFromAnotherThread(dir.Gbk()), LibraryLock::Status::kBusy);
#ifndef _WIN32
    // Another spelling of the same folder is the same lock.
    std::filesystem::create_directory_symlink(dir.Path(), dir.Path() / "link");
    EXPECT_EQ(TryFromAnotherThread(dir.Gbk("link")), LibraryLock::Status::kBusy);
#endif
  }
  EXPECT_EQ(TryFromAnotherThread(dir.Gbk()), LibraryLock::Status::kHeld);
  EXPECT_EQ(LibraryLock(dir.Gbk("missing")).GetStatus(), LibraryLock::Status::kNoFolder);
}

#ifndef _WIN32
TEST(LibraryLock, AnotherProcessWaitsAndTheLockDiesWithItsHolder) {
  TempDir dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    LibraryLock held(dir.Gbk());
    const char byte = held.GetStatus() == LibraryLock::Status::kHeld ? 'y' : 'n';
    (void)!::write(ready[1], &byte, 1);
    ::pause();  // killed below: no destructor runs
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  EXPECT_EQ(byte, 'y');
  EXPECT_EQ(LibraryLock(dir.Gbk(), 100ms).GetStatus(), LibraryLock::Status::kBusy);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(LibraryLock(dir.Gbk(), 0ms).GetStatus(), LibraryLock::Status::kHeld);
  ::close(ready[0]);
  ::close(ready[1]);
}
#endif

}  // namespace
}  // namespace vx
