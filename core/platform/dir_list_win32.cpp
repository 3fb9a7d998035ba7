// Folder listing on Windows: FindFirstFileW, names handed on in UTF-8.
#include <windows.h>

#include "core/io/dir_list.h"
#include "core/platform/win32_text.h"
#include "core/text/native_path.h"

namespace vx {

std::optional<std::vector<std::string>> ListFolderNames(std::string_view gbkFolder) {
  const std::wstring pattern = NativePath(gbkFolder).native() + L"\\*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return std::vector<std::string>{};
    return std::nullopt;
  }
  std::vector<std::string> names;
  do {
    names.push_back(win32::Utf8FromWide(data.cFileName));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

}  // namespace vx
