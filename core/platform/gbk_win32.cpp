// GBK conversions through the Windows code-page functions (code page 936), which need no iconv.
#include <windows.h>

#include "core/platform/win32_text.h"
#include "core/text/gbk.h"

namespace vx {
namespace win32 {
namespace {

// Decodes one GBK character strictly; false when it is not one.
bool DecodeStrict(std::string_view bytes, std::wstring& out) {
  if (bytes.empty()) return true;
  const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n));
  MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      out.data() + at, n);
  return true;
}

bool EncodeStrict(std::wstring_view wide, unsigned codePage, std::string& out) {
  if (wide.empty()) return true;
  BOOL usedDefault = FALSE;
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, utf8 ? nullptr : &usedDefault);
  if (n <= 0 || usedDefault) return false;
  const std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(n));
  WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), out.data() + at, n,
                      nullptr, utf8 ? nullptr : &usedDefault);
  return !usedDefault;
}

}  // namespace

std::wstring WideFromGbk(std::string_view gbk) {
  std::wstring out;
  if (DecodeStrict(gbk, out)) return out;
  out.clear();
  // Character by character, so one bad byte costs one replacement mark and nothing else.
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t len = GbkCharLength(gbk, i);
    if (!DecodeStrict(gbk.substr(i, len), out)) {
      if (len == 2 && DecodeStrict(gbk.substr(i, 1), out)) {
        i += 1;
        continue;
      }
      out += L'\xFFFD';
      i += 1;
      continue;
    }
    i += len;
  }
  return out;
}

namespace {

// Encodes and reads the result back: a text counts as converted only when it comes back as itself, so
// no conversion can quietly drop or swap a character of a path or a title.
bool ConvertsBothWays(std::wstring_view wide, std::string& out) {
  out.clear();
  return EncodeStrict(wide, kGbkCodePage, out) && WideFromGbk(out) == wide;
}

}  // namespace

bool GbkFromWide(std::wstring_view wide, std::string& out, std::wstring* bad) {
  if (ConvertsBothWays(wide, out)) return true;
  out.clear();
  if (bad) {
    *bad = std::wstring(wide.substr(0, 1));
    std::string piece;
    for (std::size_t i = 0; i < wide.size();) {
      const std::size_t len = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size()) ? 2 : 1;
      if (!ConvertsBothWays(wide.substr(i, len), piece)) {
        *bad = std::wstring(wide.substr(i, len));
        break;
      }
      i += len;
    }
  }
  return false;
}

std::string Utf8FromWide(std::wstring_view wide) {
  std::string out;
  EncodeStrict(wide, CP_UTF8, out);
  return out;
}

}  // namespace win32

std::string Utf8FromGbk(std::string_view gbk) {
  return win32::Utf8FromWide(win32::WideFromGbk(gbk));
}

std::optional<std::string> GbkFromUtf8(std::string_view utf8, std::string* unmappable) {
  std::wstring wide;
  if (!utf8.empty()) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
      if (unmappable) *unmappable = std::string(utf8.substr(0, 1));
      return std::nullopt;
    }
    wide.resize(static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        wide.data(), n);
  }
  std::string out;
  std::wstring bad;
  if (win32::GbkFromWide(wide, out, &bad)) return out;
  if (unmappable) *unmappable = win32::Utf8FromWide(bad);
  return std::nullopt;
}

std::string Gbk(std::string_view utf8Literal) {
  auto converted = GbkFromUtf8(utf8Literal);
  return converted ? *converted : std::string(utf8Literal);
}

}  // namespace vx
