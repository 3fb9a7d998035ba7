#pragma once
// A fresh folder per test, removed afterwards. Its path holds Chinese characters on purpose, so every
// test also proves that GBK paths reach the file system intact.

#include <filesystem>
#include <random>
#include <string>

#include "core/text/native_path.h"

namespace vx::fixtures {

class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() /
             PathFromUtf8("vx测试-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // A place inside, as UTF-8 text (what the fixture builders and vxtool take).
  std::string Native(const std::string& name = {}) const { return Utf8FromPath(Inside(name)); }
  // The same place as the GBK path the core takes.
  std::string Gbk(const std::string& name = {}) const { return GbkPath(Inside(name)); }

 private:
  std::filesystem::path Inside(const std::string& name) const {
    return name.empty() ? m_path : m_path / PathFromUtf8(name);
  }
  std::filesystem::path m_path;
};

}  // namespace vx::fixtures
