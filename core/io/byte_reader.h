#pragma once
// One cursor over untrusted bytes. Every read checks the remaining length first, so nothing is ever read
// before the start or past the end; integers are put together little-endian, as every format here is.

#include <cstdint>
#include <span>
#include <string>

namespace vx {

class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

  std::size_t Offset() const { return m_pos; }
  std::size_t Size() const { return m_bytes.size(); }
  std::size_t Remaining() const { return m_bytes.size() - m_pos; }

  bool Seek(std::size_t offset) {
    if (offset > m_bytes.size()) return false;
    m_pos = offset;
    return true;
  }
  bool Skip(std::size_t count) {
    if (count > Remaining()) return false;
    m_pos += count;
    return true;
  }
  bool ReadU8(std::uint8_t& v) {
    if (Remaining() < 1) return false;
    v = m_bytes[m_pos++];
    return true;
  }
  bool ReadU16Le(std::uint16_t& v) {
    if (Remaining() < 2) return false;
    v = static_cast<std::uint16_t>(m_bytes[m_pos] | m_bytes[m_pos + 1] << 8);
    m_pos += 2;
    return true;
  }
  bool ReadU32Le(std::uint32_t& v) {
    if (Remaining() < 4) return false;
    v = static_cast<std::uint32_t>(m_bytes[m_pos]) | static_cast<std::uint32_t>(m_bytes[m_pos + 1]) << 8 |
        static_cast<std::uint32_t>(m_bytes[m_pos + 2]) << 16 |
        static_cast<std::uint32_t>(m_bytes[m_pos + 3]) << 24;
    m_pos += 4;
    return true;
  }
  bool ReadBytes(std::size_t count, std::span<const std::uint8_t>& out) {
    if (count > Remaining()) return false;
    out = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return true;
  }

 private:
  std::span<const std::uint8_t> m_bytes;
  std::size_t m_pos = 0;
};

// Little-endian writers for building records in memory.
inline void PutU16Le(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutU32Le(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace vx
