// Holds a file open without sharing it, as a player, an editor or a virus scanner on Windows may, until
// told to let go:  hold_file FILE RELEASE
// Prints "held" once FILE is open and keeps it until a file RELEASE exists; after two minutes it lets go
// by itself, so a script that fails halfway never leaves the file held.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 3) {
    std::fputs("usage: hold_file FILE RELEASE\n", stderr);
    return 2;
  }
  const HANDLE held =
      CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_file: cannot open the file (error %lu)\n", GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  for (int tick = 0; tick < 1200 && GetFileAttributesW(argv[2]) == INVALID_FILE_ATTRIBUTES; ++tick)
    Sleep(100);
  CloseHandle(held);
  LocalFree(argv);
  return 0;
}
