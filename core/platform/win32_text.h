#pragma once
// Shared by the Windows platform files: UTF-16 conversions through the Windows code-page functions.
#ifdef _WIN32
#include <string>
#include <string_view>

namespace vx::win32 {

inline constexpr unsigned kGbkCodePage = 936;

// GBK to UTF-16, leniently: a byte that does not decode becomes U+FFFD.
std::wstring WideFromGbk(std::string_view gbk);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace vx::win32
#endif
