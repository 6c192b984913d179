#include "command_line.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "krt_test_support.h"

namespace {

using krt::host::LooksLikeEntryName;
using krt::test::RunKrtWith;

TEST(ExtractArguments, EntryNamesAreDigitsThenDot2D) {
  const struct {
    const char* argument;
    bool entry;
  } cases[] = {
      {"000.2D", true},      {"001.2d", true},       {"1000.2D", true},  {"7.2D", true},
      {".2D", false},        {"abc.2D", false},      {"000.2DX", false}, {"000.BIN", false},
      {"dir/000.2D", false}, {"samples.BIN", false}, {"00 1.2D", false}, {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LooksLikeEntryName(c.argument), c.entry) << c.argument;
  }
}

TEST(ExtractArguments, PacksAndNamesAreToldApartInAnyOrder) {
  std::ostringstream out, err;
  int status = -1;
  const auto request = krt::host::ParseCommandLine(
      {"extract", "002.2D", "a.BIN", "-o", "out", "000.2d", "--", "-odd.BIN"}, out, err, &status);
  ASSERT_TRUE(request.has_value()) << err.str();
  EXPECT_EQ(request->files, (std::vector<std::string>{"a.BIN", "-odd.BIN"}));
  EXPECT_EQ(request->entry_names, (std::vector<std::string>{"002.2D", "000.2d"}));
  EXPECT_EQ(request->output, "out");

  const auto only_after =
      krt::host::ParseCommandLine({"extract", "--", "a.BIN"}, out, err, &status);
  ASSERT_TRUE(only_after.has_value()) << err.str();
  EXPECT_EQ(only_after->files, (std::vector<std::string>{"a.BIN"}));
}

TEST(CommandLine, PathsStartingWithASlashAreFilesOnEveryPlatform) {
  std::ostringstream out, err;
  int status = -1;
  const auto request = krt::host::ParseCommandLine({"list", "/packs/a.BIN"}, out, err, &status);
  ASSERT_TRUE(request.has_value()) << err.str();
  EXPECT_EQ(request->files, (std::vector<std::string>{"/packs/a.BIN"}));
}

TEST(CommandLine, WrongCommandLinesExitWithStatus2AndSayWhy) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"paint", "a.2D"},
      {"render"},
      {"render", "--format", "gif", "a.2D"},
      {"render", "--offset", "-1", "a.2D"},
      {"list", "--bogus", "a.BIN"},
      {"extract", "000.2D"},
      {"extract", "--format", "bmp", "a.BIN"},
      {"render", "-o", "picture.gif", "a.2D"},
      {"tmx", "-o", "map.png", "a.2D"},
      {"tmx", "-o", "map.tmx", "a.2D", "b.2D"},
  };
  for (const auto& arguments : cases) {
    const auto run = RunKrtWith(arguments);
    EXPECT_EQ(run.status, 2) << testing::PrintToString(arguments);
    EXPECT_FALSE(run.err.empty()) << testing::PrintToString(arguments);
    EXPECT_TRUE(run.out.empty()) << testing::PrintToString(arguments);
  }
}

TEST(CommandLine, EveryCommandHasHelp) {
  for (const char* command : {"info", "render", "list", "extract", "tiles", "palette", "tmx"}) {
    const auto run = RunKrtWith({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find(std::string("krt ") + command), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("--quiet"), std::string::npos) << run.out;
  }
  const auto run = RunKrtWith({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* command : {"info", "render", "list", "extract", "tmx"}) {
    EXPECT_NE(run.out.find(command), std::string::npos) << run.out;
  }
  const auto version = RunKrtWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("krt [0-9]+\\.[0-9]+\\.[0-9]+\n")))
      << version.out;
}

}  // namespace
