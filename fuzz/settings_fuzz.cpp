// Any bytes as REC.re: every slot reads without leaving the file and yields at most 255 bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const vx::FolderSettings folders =
      vx::ParseFolders(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::string* slot : {&folders.musicDir, &folders.moveDir, &folders.imageDir})
    if (slot->size() > vx::kMaxFolderBytes || slot->find('\0') != std::string::npos) __builtin_trap();
  return 0;
}
