// GBK conversions through iconv (glibc, macOS). The Windows build uses the code-page functions instead.
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

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

std::size_t Utf8SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 1;
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

namespace {

// The GBK form of a text, when iconv accepts all of it and it reads back as the same text. iconv drops
// some characters without a word (glibc: the tag characters U+E0000 to U+E007F), so its success alone
// proves nothing: an invisible character in a folder name would name another folder.
std::optional<std::string> ConvertsBothWays(std::string_view utf8, const char** stoppedAt = nullptr) {
  if (stoppedAt) *stoppedAt = nullptr;
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(utf8);  // ASCII is the same bytes in both
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  std::size_t left = utf8.size();
  const bool converted = ToGbk().Run(in, left, out) == Converter::Step::kDone;
  if (stoppedAt && !converted) *stoppedAt = in;
  if (!converted || Utf8FromGbk(out) != utf8) return std::nullopt;
  return out;
}

}  // namespace

std::optional<std::string> GbkFromUtf8(std::string_view utf8, std::string* unmappable) {
  const char* stoppedAt = nullptr;
  if (auto gbk = ConvertsBothWays(utf8, &stoppedAt)) return gbk;
  if (!unmappable) return std::nullopt;
  const auto sequenceAt = [&](const char* p) {
    const std::size_t offset = static_cast<std::size_t>(p - utf8.data());
    return utf8.substr(offset,
                       std::min(utf8.size() - offset, Utf8SequenceLength(static_cast<unsigned char>(*p))));
  };
  if (stoppedAt) {
    unmappable->assign(sequenceAt(stoppedAt));
    return std::nullopt;
  }
  // Converted but not back: the culprit is the first character that does not come back by itself.
  unmappable->assign(utf8.substr(0, 1));
  for (const char* p = utf8.data(); p < utf8.data() + utf8.size();) {
    const std::string_view character = sequenceAt(p);
    if (!ConvertsBothWays(character)) {
      unmappable->assign(character);
      break;
    }
    p += character.size();
  }
  return std::nullopt;
}

std::string Gbk(std::string_view utf8Literal) {
  auto converted = GbkFromUtf8(utf8Literal);
  return converted ? *converted : std::string(utf8Literal);
}

}  // namespace vx
