#pragma once
// Texts and paths where the core meets Qt: the core keeps GBK bytes and UTF-8 message constants, Qt
// keeps QString. Converted here, at the edge, and nowhere else in the window's own code.

#include <QDir>
#include <QString>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx::ui {

// A GBK text as shown; an undecodable byte shows as U+FFFD.
inline QString FromGbk(const std::string& gbk) {
  return QString::fromStdString(Utf8FromGbk(gbk));
}

// One of the UTF-8 constants of messages.h or of the window's own texts.
inline QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A GBK path as Qt opens it.
inline QString QtPath(const std::string& gbkPath) {
#ifdef _WIN32
  return QString::fromStdWString(NativePath(gbkPath).wstring());
#else
  return QString::fromStdString(NativePath(gbkPath).string());
#endif
}

// A path from Qt (a chooser, a drop) as the file system takes it. Qt gives forward slashes; on Windows
// they become backslashes, so what the program stores and shows reads as Windows writes it.
inline std::filesystem::path PathFromQt(const QString& path) {
#ifdef _WIN32
  return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
  return std::filesystem::path(path.toStdString());
#endif
}

}  // namespace vx::ui
