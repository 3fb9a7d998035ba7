// Folder listing on POSIX systems: readdir, no stat per entry.
#include <dirent.h>

#include <memory>

#include "core/io/dir_list.h"
#include "core/text/native_path.h"

namespace vx {

std::optional<std::vector<std::string>> ListFolderNames(std::string_view gbkFolder) {
  // An empty folder setting names the root, as the song paths built from it do.
  const auto native = gbkFolder.empty() ? std::filesystem::path("/") : NativePath(gbkFolder);
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native.c_str()), &::closedir);
  if (!dir) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
  return names;
}

}  // namespace vx
