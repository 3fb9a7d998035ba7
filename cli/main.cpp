#include <iostream>

#include "cli/vxtool.h"

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "core/platform/win32_text.h"

// The narrow argv of a Windows program is in the ANSI code page and loses what it cannot hold; take the
// UTF-16 command line and hand vxtool UTF-8, as on every other system.
int main() {
  // Output is UTF-8 bytes with LF line ends, the same as on every other system.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(vx::win32::Utf8FromWide(argv[i]));
  LocalFree(argv);
  return vx::cli::Run(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return vx::cli::Run(args, std::cout, std::cerr);
}
#endif
