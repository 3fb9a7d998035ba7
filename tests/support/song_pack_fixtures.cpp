#include "tests/support/song_pack_fixtures.h"

#include <archive.h>
#include <archive_entry.h>

#include <array>

#include "core/platform/primitives.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"

namespace vx::fixtures {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}
std::uint32_t Crc32(const Bytes& bytes) {
  return Crc32(bytes.data(), bytes.size());
}

void Le(Bytes& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// RAR 4: the marker block, the main header, one file header per entry (stored, host Windows, '\' between
// folders) followed by its bytes, and the end block. Each header's CRC is the low half of the CRC-32 of
// the header from its type byte on.
Bytes BuildRar4(const std::vector<PackEntry>& entries) {
  Bytes out{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
  const auto block = [&](Bytes header) {  // header from HEAD_TYPE on
    Le(out, Crc32(header) & 0xFFFF, 2);
    out.insert(out.end(), header.begin(), header.end());
  };
  Bytes main{0x73};
  Le(main, 0, 2);   // flags
  Le(main, 13, 2);  // size
  Le(main, 0, 6);   // reserved
  block(main);
  for (const PackEntry& entry : entries) {
    std::string name = entry.name;
    for (char& c : name)
      if (c == '/') c = '\\';
    Bytes file{0x74};
    Le(file, 0x8000, 2);  // a long block: its data follows
    Le(file, 32 + name.size(), 2);
    Le(file, entry.data.size(), 4);  // packed
    Le(file, entry.data.size(), 4);  // unpacked
    file.push_back(2);               // Windows
    Le(file, Crc32(entry.data), 4);
    Le(file, 0x5A210000, 4);  // 2025-01-01 as a DOS time
    file.push_back(20);       // version needed
    file.push_back(0x30);     // stored
    Le(file, name.size(), 2);
    Le(file, 0x20, 4);  // archive attribute
    file.insert(file.end(), name.begin(), name.end());
    block(file);
    out.insert(out.end(), entry.data.begin(), entry.data.end());
  }
  Bytes end{0x7B};
  Le(end, 0x4000, 2);
  Le(end, 7, 2);
  block(end);
  return out;
}

void Vint(Bytes& out, std::uint64_t value) {
  do {
    std::uint8_t b = value & 0x7F;
    value >>= 7;
    if (value) b |= 0x80;
    out.push_back(b);
  } while (value);
}

// RAR 5: the signature, then headers of CRC-32, size and body (type, flags, fields), each a file's
// followed by its stored bytes.
Bytes BuildRar5(const std::vector<PackEntry>& entries) {
  Bytes out{0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
  const auto block = [&](const Bytes& body) {
    Bytes sized;
    Vint(sized, body.size());
    sized.insert(sized.end(), body.begin(), body.end());
    Le(out, Crc32(sized), 4);
    out.insert(out.end(), sized.begin(), sized.end());
  };
  block({0x01, 0x00, 0x00});  // main header: no flags, no archive flags
  for (const PackEntry& entry : entries) {
    Bytes body;
    Vint(body, 2);                  // file header
    Vint(body, 0x02);               // a data area follows
    Vint(body, entry.data.size());  // its size
    Vint(body, 0x04);               // file flags: CRC-32 present
    Vint(body, entry.data.size());  // unpacked size
    Vint(body, 0x20);               // attributes
    Le(body, Crc32(entry.data), 4);
    Vint(body, 0);  // compression: version 0, stored
    Vint(body, 0);  // Windows
    Vint(body, entry.name.size());
    body.insert(body.end(), entry.name.begin(), entry.name.end());
    block(body);
    out.insert(out.end(), entry.data.begin(), entry.data.end());
  }
  block({0x05, 0x00, 0x00});  // end of archive
  return out;
}

la_ssize_t Append(archive*, void* out, const void* data, size_t size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  static_cast<Bytes*>(out)->insert(static_cast<Bytes*>(out)->end(), bytes, bytes + size);
  return static_cast<la_ssize_t>(size);
}

std::optional<Bytes> BuildWithLibarchive(PackFormat format, const std::vector<PackEntry>& entries) {
  // In a UTF-8 locale the zip writer flags names UTF-8; in the C locale it writes the bytes as they are,
  // unflagged.
  std::optional<platform::Utf8NamesOnThisThread> utf8;
  if (format != PackFormat::kZipGbk) utf8.emplace();
  archive* a = archive_write_new();
  if (format == PackFormat::k7z) {
    archive_write_set_format_7zip(a);
  } else {
    archive_write_set_format_zip(a);
    for (const PackEntry& entry : entries)
      if (entry.encrypted && (archive_write_set_options(a, "zip:encryption=zipcrypt") != ARCHIVE_OK ||
                              archive_write_set_passphrase(a, "secret") != ARCHIVE_OK)) {
        archive_write_free(a);
        return std::nullopt;
      }
  }
  Bytes out;
  archive_write_set_bytes_in_last_block(a, 1);
  archive_write_open(a, &out, nullptr, &Append, nullptr);
  for (const PackEntry& entry : entries) {
    archive_entry* e = archive_entry_new();
    const std::string name = format == PackFormat::kZipGbk ? Gbk(entry.name) : entry.name;
    archive_entry_copy_pathname(e, name.c_str());
    if (!entry.symlink.empty()) {
      archive_entry_set_filetype(e, AE_IFLNK);
      archive_entry_set_perm(e, 0777);
      archive_entry_copy_symlink(e, entry.symlink.c_str());
      archive_entry_set_size(e, 0);
    } else {
      archive_entry_set_filetype(e, AE_IFREG);
      archive_entry_set_perm(e, 0644);
      archive_entry_set_size(e, static_cast<la_int64_t>(entry.data.size()));
    }
    archive_entry_set_mtime(e, 1735689600, 0);
    archive_write_header(a, e);
    if (entry.symlink.empty() && !entry.data.empty())
      archive_write_data(a, entry.data.data(), entry.data.size());
    archive_entry_free(e);
  }
  archive_write_close(a);
  archive_write_free(a);
  return out;
}

}  // namespace

std::optional<Bytes> BuildPack(PackFormat format, const std::vector<PackEntry>& entries) {
  switch (format) {
    case PackFormat::kRar4:
      return BuildRar4(entries);
    case PackFormat::kRar5:
      return BuildRar5(entries);
    default:
      return BuildWithLibarchive(format, entries);
  }
}

std::vector<PackEntry> PackSongEntries(const std::string& folder, const std::string& chartName,
                                       const std::string& musicName, const std::string& title) {
  const std::string prefix = folder.empty() ? std::string() : folder + "/";
  return {
      {prefix + chartName, BuildChart({.title = title})},
      {prefix + musicName, Bytes{'m', 'u', 's', static_cast<std::uint8_t>(title.empty() ? 0 : title[0])}}};
}

}  // namespace vx::fixtures
