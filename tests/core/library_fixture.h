#pragma once
// A MUSIC folder, a move-target folder, an image folder and REC.re naming them, in a fresh temporary
// folder; the scripted Interaction; and the table a scan of the folder gives.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/messages.h"
#include "core/text/gbk.h"
#include "tests/support/fixtures.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/temp_dir.h"

namespace vx::testing_support {

namespace fs = std::filesystem;

class LibraryTest : public ::testing::Test {
 protected:
  LibraryTest() {
    for (const char* folder : {"MUSIC", "moved", "images"}) fs::create_directories(dir.Path() / folder);
    SetFolders(dir.Gbk("MUSIC"), dir.Gbk("moved"), dir.Gbk("images"));
  }

  void SetFolders(const std::string& music, const std::string& move = {}, const std::string& image = {}) {
    fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile(music, move, image));
  }
  void Song(int id, fixtures::ChartSpec recipe = {}, bool withMusic = true) {
    fixtures::WriteSong(dir.Native("MUSIC"), id, recipe, withMusic);
  }
  // The table a scan gives, with the rows at `tickedPositions` ticked.
  SongTable Scan(std::initializer_list<std::size_t> tickedPositions = {}) {
    SongTable table;
    table.Assign(ScanMusicFolder(dir.Gbk("MUSIC")));
    for (std::size_t p : tickedPositions) table.SetTicked(p, true);
    return table;
  }
  fs::path Music(const std::string& name) const { return dir.Path() / "MUSIC" / PathFromUtf8(name); }
  static Bytes Read(const fs::path& path) { return ReadWholeFile(GbkPath(path)).value_or(Bytes{}); }
  static std::string Text(const fs::path& path) {
    const Bytes b = Read(path);
    return {b.begin(), b.end()};
  }
  std::vector<std::string> Messages() const { return ui.Messages(); }

  fixtures::TempDir dir;
  std::string settings = dir.Gbk("REC.re");
  fixtures::ScriptedInteraction ui;
};

}  // namespace vx::testing_support
