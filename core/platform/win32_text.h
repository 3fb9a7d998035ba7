#pragma once
// Shared by the Windows platform files: UTF-16 conversions through the Windows code-page functions.
#ifdef _WIN32
#include <string>
#include <string_view>

namespace vx::win32 {

inline constexpr unsigned kGbkCodePage = 936;

// GBK to UTF-16, leniently: a byte that does not decode becomes U+FFFD.
std::wstring WideFromGbk(std::string_view gbk);
// UTF-16 to GBK; false when a character has no GBK form (`bad` then receives it in UTF-16).
bool GbkFromWide(std::wstring_view wide, std::string& out, std::wstring* bad = nullptr);
std::string Utf8FromWide(std::wstring_view wide);

}  // namespace vx::win32
#endif
