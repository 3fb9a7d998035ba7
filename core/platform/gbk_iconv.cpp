// GBK conversions through iconv (glibc, macOS). The Windows build uses the code-page functions instead;
// the check that a text comes back as itself is in core/text/gbk.cpp.
#include <iconv.h>
#include <locale.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>

#include "core/platform/primitives.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

// Code page 936 as Windows defines it: 0x80 is the euro sign, unlike plain GBK in some tables.
constexpr const char* kGbkName = "CP936";

class Converter {
 public:
  Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Converter() {
    if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  enum class Step { kDone, kBadInput };
  // Converts as much as it can; on a bad sequence stops with `in` at the offending byte.
  Step Run(const char*& in, std::size_t& inLeft, std::string& out) {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char buffer[1024];
    while (inLeft > 0) {
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t r = iconv(m_cd, const_cast<char**>(&in), &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
      if (r != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      return Step::kBadInput;  // EILSEQ or EINVAL (a cut-off sequence at the end)
    }
    return Step::kDone;
  }

 private:
  iconv_t m_cd;
};

// iconv descriptors carry state, so each thread gets its own pair.
Converter& ToUtf8() {
  thread_local Converter c("UTF-8", kGbkName);
  return c;
}
Converter& ToGbk() {
  thread_local Converter c(kGbkName, "UTF-8");
  return c;
}

}  // namespace

std::string Utf8FromGbk(std::string_view gbk) {
  // Most texts and every song file name are plain ASCII, which reads the same in both.
  if (std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(gbk);
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  const char* in = gbk.data();
  std::size_t left = gbk.size();
  while (ToUtf8().Run(in, left, out) == Converter::Step::kBadInput) {
    out += "\xEF\xBF\xBD";  // U+FFFD
    ++in;
    --left;
  }
  return out;
}

std::optional<std::string> platform::EncodeGbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  if (ToGbk().Run(in, left, out) != Converter::Step::kDone) return std::nullopt;
  return out;
}

}  // namespace vx

namespace vx::platform {

Utf8NamesOnThisThread::Utf8NamesOnThisThread() {
  // C.UTF-8 is built into glibc since 2.35; the others are for systems whose C library lacks it.
  for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
    if (const locale_t utf8 = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0))) {
      m_utf8 = utf8;
      m_previous = uselocale(utf8);
      return;
    }
}

Utf8NamesOnThisThread::~Utf8NamesOnThisThread() {
  if (!m_utf8) return;
  uselocale(static_cast<locale_t>(m_previous));
  freelocale(static_cast<locale_t>(m_utf8));
}

std::optional<std::string> Utf8FromWide(std::wstring_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (const wchar_t c : wide) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return std::nullopt;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (u >> 18));
      out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace vx::platform
