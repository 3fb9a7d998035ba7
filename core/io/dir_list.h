#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The names (not paths) of the entries of a folder, in the file system's order, as native bytes
// (UTF-8 here, converted from UTF-16 on Windows). Empty optional when the folder cannot be listed.
std::optional<std::vector<std::string>> ListFolderNames(std::string_view gbkFolder);

// The entries of a folder with what the listing itself says of each: `regular` when it is a regular file
// (not a link to one; false where the listing cannot tell, and for everything else).
struct FolderEntry {
  std::string name;  // native bytes, as ListFolderNames gives them
  bool regular = false;
};
std::optional<std::vector<FolderEntry>> ListFolderEntries(std::string_view gbkFolder);

// Whether this platform's file systems look names up without regard to case.
#ifdef _WIN32
inline constexpr bool kFileNamesIgnoreCase = true;
#else
inline constexpr bool kFileNamesIgnoreCase = false;
#endif

}  // namespace vx
