#include <gtest/gtest.h>

#include "core/library/selection.h"
#include "core/shell/registration.h"

namespace vx {
namespace {

TEST(RegistrationSwitch, MustEndTheLineAfterADashOrSlashInAnyCase) {
  EXPECT_EQ(FindRegistrationSwitch("/RegServer"), RegistrationSwitch::kRegister);
  EXPECT_EQ(FindRegistrationSwitch("-regserver"), RegistrationSwitch::kRegister);
  EXPECT_EQ(FindRegistrationSwitch("something /REGSERVER"), RegistrationSwitch::kRegister);
  EXPECT_EQ(FindRegistrationSwitch("/UnregServer"), RegistrationSwitch::kUnregister);
  EXPECT_EQ(FindRegistrationSwitch("--unREGserver"), RegistrationSwitch::kUnregister);
  // The rest of the line is compared, so a following word or a missing introducer starts the window.
  EXPECT_EQ(FindRegistrationSwitch("/RegServer now"), RegistrationSwitch::kNone);
  EXPECT_EQ(FindRegistrationSwitch("RegServer"), RegistrationSwitch::kNone);
  EXPECT_EQ(FindRegistrationSwitch("/RegServe"), RegistrationSwitch::kNone);
  EXPECT_EQ(FindRegistrationSwitch(""), RegistrationSwitch::kNone);
}

TEST(RegistrationSwitch, DesktopEntryQuotesPathsSoSpacesAndSpecialCharactersSurvive) {
  const std::string entry = DesktopEntryTextUtf8("/opt/my apps/vx$\"organizer\"%", "/home/u/歌曲");
  EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_NE(entry.find("Name=VX歌曲整理器\n"), std::string::npos);
  EXPECT_NE(entry.find("Exec=\"/opt/my apps/vx\\\\$\\\\\"organizer\\\\\"%%\"\n"), std::string::npos);
  EXPECT_NE(entry.find("Path=/home/u/歌曲\n"), std::string::npos);
  EXPECT_NE(entry.find("Type=Application\n"), std::string::npos);
}

TEST(Selection, AClickLoadsOnlyASoleHighlightedRow) {
  EXPECT_EQ(SoleSelectedRow(std::vector<std::size_t>{4}), 4u);
  EXPECT_EQ(SoleSelectedRow(std::vector<std::size_t>{}), std::nullopt);
  EXPECT_EQ(SoleSelectedRow(std::vector<std::size_t>{1, 2}), std::nullopt);
}

}  // namespace
}  // namespace vx
