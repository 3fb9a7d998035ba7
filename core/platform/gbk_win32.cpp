// GBK conversions through the Windows code-page functions (code page 936), which need no iconv; the
// check that a text comes back as itself is in core/text/gbk.cpp.
#include <windows.h>

#include "core/platform/primitives.h"
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

std::string Utf8FromWide(std::wstring_view wide) {
  std::string out;
  EncodeStrict(wide, CP_UTF8, out);
  return out;
}

}  // namespace win32

std::string Utf8FromGbk(std::string_view gbk) {
  return win32::Utf8FromWide(win32::WideFromGbk(gbk));
}

std::optional<std::string> platform::EncodeGbk(std::string_view utf8) {
  std::wstring wide;
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  if (n <= 0) return std::nullopt;
  wide.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                      n);
  std::string out;
  if (!win32::EncodeStrict(wide, win32::kGbkCodePage, out)) return std::nullopt;
  return out;
}

}  // namespace vx

namespace vx::platform {

// Windows' libarchive converts names through code pages to UTF-16 itself; the locale plays no part.
Utf8NamesOnThisThread::Utf8NamesOnThisThread() = default;
Utf8NamesOnThisThread::~Utf8NamesOnThisThread() = default;

std::optional<std::string> Utf8FromWide(std::wstring_view wide) {
  std::string out = win32::Utf8FromWide(wide);
  if (out.empty() && !wide.empty()) return std::nullopt;
  return out;
}

}  // namespace vx::platform
