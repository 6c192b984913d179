#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "krt_test_support.h"
#include "plugin_loader.h"
#include "sample_cards.h"
#include "screen_builder.h"

namespace {

using namespace krt::test;

struct ExpectedEntry {
  std::string name;
  uint32_t position;
  uint32_t size;
};

// Where the pack's four screens stand: it was built with gaps of 4, 0, 8 and
// 60 bytes before them.
std::vector<ExpectedEntry> ExpectedEntries() {
  const auto files = krt::samples::BuildSampleFiles();
  const uint32_t gaps[] = {4, 0, 8, 60};
  std::vector<ExpectedEntry> entries;
  uint32_t position = 0;
  for (uint32_t i = 0; i < 4; ++i) {
    position += gaps[i];
    const auto size = static_cast<uint32_t>(files[i].bytes.size());
    entries.push_back({"00" + std::to_string(i) + ".2D", position, size});
    position += size;
  }
  return entries;
}

size_t CountLines(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

class InfoCommand : public KrtTest {};

TEST_F(InfoCommand, TellsSizeAndDepthOfEveryCardAndEntriesOfThePack) {
  std::vector<std::string> arguments = {"info"};
  for (const auto& card : krt::samples::SampleCards()) arguments.push_back(Sample(card.name));
  arguments.push_back(Sample(krt::samples::kPackName));
  const auto run = RunKrtWith(arguments);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const auto& card : krt::samples::SampleCards()) {
    const std::string line = Sample(card.name) + ": screen file (IFKRT), " +
                             std::to_string(card.width_px) + " x " +
                             std::to_string(card.height_px) + " dots, " +
                             std::to_string(card.depth) + " bits per pixel\n";
    EXPECT_NE(run.out.find(line), std::string::npos) << run.out;
  }
  EXPECT_NE(run.out.find(Sample(krt::samples::kPackName) + ": screen pack (AXKRT), 4 entries\n"),
            std::string::npos)
      << run.out;
}

TEST_F(InfoCommand, DamagedFilesFailOneLineEachWhileTheOthersAreDone) {
  const auto card = ReadFileBytes(Sample("card1-16-colours.2D"));
  WriteFileBytes(InFolder("noise.2D"), std::vector<uint8_t>(3000, 0x5A));
  // The header promises sections beyond the end of the file.
  WriteFileBytes(InFolder("cut.2D"), std::vector<uint8_t>(card.begin(), card.end() - 100));
  WriteFileBytes(InFolder("empty.2D"), krt::test::BuildScreenFile(krt::test::ScreenPlan{}));

  const auto run =
      RunKrtWith({"info", InFolder("noise.2D"), InFolder("missing.2D"), InFolder("cut.2D"),
                  Sample("card1-16-colours.2D"), InFolder("empty.2D")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(CountLines(run.err), 4u) << run.err;
  EXPECT_TRUE(SaysFailure(run, InFolder("noise.2D"), "neither a screen file nor a screen pack\n"));
  EXPECT_TRUE(SaysFailure(run, InFolder("missing.2D"), "cannot open"));
  EXPECT_TRUE(SaysFailure(run, InFolder("cut.2D"),
                          "not a valid screen file, or nothing on the screen to show (result "
                          "code 3)\n"));
  EXPECT_TRUE(SaysFailure(run, InFolder("empty.2D"), "not a valid screen file"));
  EXPECT_NE(run.out.find(Sample("card1-16-colours.2D") + ": screen file"), std::string::npos);
}

TEST_F(InfoCommand, MissingPluginsAreNamed) {
  const auto run = RunKrtWith({"info", "--plugins", InFolder("nowhere"), Sample("samples.BIN")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("IFKRT"), std::string::npos) << run.err;
  EXPECT_EQ(run.out, "");
}

TEST_F(InfoCommand, PluginsAreLoadedFromTheFolderGiven) {
  namespace fs = std::filesystem;
  const fs::path here = krt::host::ProgramFolder();
  const std::string image = krt::host::PluginFileName("IFKRT");
  const std::string archive = krt::host::PluginFileName("AXKRT");
  fs::create_directories(InFolder("plugins"));
  fs::copy_file(here / image, InFolder("plugins/" + image));
  fs::copy_file(here / archive, InFolder("plugins/" + archive));
  const auto run = RunKrtWith({"info", "--plugins", InFolder("plugins"), Sample("samples.BIN")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("4 entries"), std::string::npos) << run.out;

  // An archive plug-in under the image plug-in's name is refused by name.
  fs::create_directories(InFolder("mixed"));
  fs::copy_file(here / archive, InFolder("mixed/" + image));
  fs::copy_file(here / archive, InFolder("mixed/" + archive));
  const auto mixed = RunKrtWith({"info", "--plugins", InFolder("mixed"), Sample("samples.BIN")});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_NE(mixed.err.find(image + ": the plug-in has no export GetPictureInfo"), std::string::npos)
      << mixed.err;
}

class ListCommand : public KrtTest {};

TEST_F(ListCommand, TableNamesEveryEntryWithPositionAndSize) {
  const auto run = RunKrtWith({"list", Sample(krt::samples::kPackName)});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind(Sample(krt::samples::kPackName) + ": 4 entries\n", 0), 0u) << run.out;
  for (const auto& entry : ExpectedEntries()) {
    char line[64];
    std::snprintf(line, sizeof line, "%-12s%12u%12u\n", entry.name.c_str(), entry.position,
                  entry.size);
    EXPECT_NE(run.out.find(line), std::string::npos) << line << " in\n" << run.out;
  }
  EXPECT_EQ(CountLines(run.out), 2u + 4u);
}

TEST_F(ListCommand, JsonListsTheSameEntries) {
  const auto run = RunKrtWith({"list", "--json", Sample(krt::samples::kPackName)});
  ASSERT_EQ(run.status, 0) << run.err;
  const auto listing = nlohmann::json::parse(run.out);
  ASSERT_EQ(listing.size(), 1u);
  EXPECT_EQ(listing[0]["pack"], Sample(krt::samples::kPackName));
  const auto expected = ExpectedEntries();
  ASSERT_EQ(listing[0]["entries"].size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const auto& entry = listing[0]["entries"][i];
    EXPECT_EQ(entry["name"], expected[i].name);
    EXPECT_EQ(entry["position"], expected[i].position);
    EXPECT_EQ(entry["size"], expected[i].size);
  }
}

TEST_F(ListCommand, FilesThatAreNoPacksFailAndTheRestIsListed) {
  const auto pack = ReadFileBytes(Sample(krt::samples::kPackName));
  // The first screen cut short: the pack still looks like one, but holds no
  // whole screen.
  WriteFileBytes(InFolder("cut.BIN"), std::vector<uint8_t>(pack.begin(), pack.begin() + 3000));
  const auto run = RunKrtWith({"list", "--json", Sample("card1-16-colours.2D"), InFolder("cut.BIN"),
                               Sample(krt::samples::kPackName)});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(
      SaysFailure(run, Sample("card1-16-colours.2D"), "a screen file, not a screen pack\n"));
  EXPECT_TRUE(
      SaysFailure(run, InFolder("cut.BIN"), "no screen found in the pack (result code 3)\n"));
  const auto listing = nlohmann::json::parse(run.out);
  ASSERT_EQ(listing.size(), 1u);
  EXPECT_EQ(listing[0]["entries"].size(), 4u);
}

}  // namespace
