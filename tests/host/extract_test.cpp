#include <gtest/gtest.h>

#include <filesystem>

#include "krt_test_support.h"
#include "sample_cards.h"
#include "screen_builder.h"

#if !defined(_WIN32)
#include "platform_control.h"
#endif

namespace {

namespace fs = std::filesystem;
using namespace krt::test;

std::string EntryName(size_t index) { return "00" + std::to_string(index) + ".2D"; }

class ExtractCommand : public KrtTest {};

TEST_F(ExtractCommand, EveryEntryComesOutByteForByte) {
  const auto run = RunKrtWith({"extract", "-o", InFolder("out"), Sample("samples.BIN")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            Sample("samples.BIN") + ": 4 of 4 entries extracted to " + InFolder("out") + "\n");
  const auto cards = krt::samples::SampleCards();
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")),
            (std::vector<std::string>{"000.2D", "001.2D", "002.2D", "003.2D"}));
  for (size_t i = 0; i < cards.size(); ++i) {
    EXPECT_EQ(ReadFileBytes(InFolder("out/" + EntryName(i))), ReadFileBytes(Sample(cards[i].name)))
        << EntryName(i);
  }
}

TEST_F(ExtractCommand, NamedEntriesOnlyInAnyCase) {
  const auto run =
      RunKrtWith({"extract", "003.2d", "-o", InFolder("out"), Sample("samples.BIN"), "001.2D"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")), (std::vector<std::string>{"001.2D", "003.2D"}));
  EXPECT_EQ(ReadFileBytes(InFolder("out/003.2D")),
            ReadFileBytes(Sample("card4-three-palettes.2D")));
}

TEST_F(ExtractCommand, AnEntryThePackLacksIsReportedAndTheOthersAreDone) {
  const auto run = RunKrtWith(
      {"extract", "-o", InFolder("out"), Sample("samples.BIN"), "009.2D", "0001.2D", "002.2D"});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(SaysFailure(run, Sample("samples.BIN"),
                          "entry 009.2D: the pack has no entry of that name (result code 3)\n"));
  // A name GetFileInfo refuses is looked up in the list, where it is not.
  EXPECT_TRUE(SaysFailure(run, Sample("samples.BIN"),
                          "entry 0001.2D: the pack has no entry of that name (it has 4)\n"));
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")), (std::vector<std::string>{"002.2D"}));
}

TEST_F(ExtractCommand, EntriesPastTheThousandthAreFoundByName) {
  const auto screen = krt::test::BuildScreenFile(krt::test::ScreenPlan{});
  krt::test::PackPlan plan;
  plan.screens.assign(1002, screen);
  plan.gaps_before = {4};
  WriteFileBytes(InFolder("big.BIN"), krt::test::BuildPack(plan));
  const auto run =
      RunKrtWith({"extract", "-o", InFolder("out"), InFolder("big.BIN"), "999.2D", "1001.2d"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")), (std::vector<std::string>{"1001.2D", "999.2D"}));
  EXPECT_EQ(ReadFileBytes(InFolder("out/1001.2D")), screen);

  const auto missing =
      RunKrtWith({"extract", "-o", InFolder("out"), InFolder("big.BIN"), "1002.2D"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(SaysFailure(missing, InFolder("big.BIN"),
                          "entry 1002.2D: the pack has no entry of that name (result code 3)\n"));
}

TEST_F(ExtractCommand, RenderedEntriesEqualTheCardsRenderedFromDisk) {
  const auto extracted =
      RunKrtWith({"extract", "--render", "-o", InFolder("pack"), Sample("samples.BIN")});
  ASSERT_EQ(extracted.status, 0) << extracted.err;
  const auto rendered =
      RunKrtWith({"render", "-o", InFolder("cards/"), Sample("card1-16-colours.2D"),
                  Sample("card2-palette-regions.2D"), Sample("card3-256-colours-16-dot.2D"),
                  Sample("card4-three-palettes.2D")});
  ASSERT_EQ(rendered.status, 0) << rendered.err;
  const auto cards = krt::samples::SampleCards();
  for (size_t i = 0; i < cards.size(); ++i) {
    const std::string stem = fs::path(cards[i].name).stem().string();
    EXPECT_EQ(ReadFileBytes(InFolder("pack/00" + std::to_string(i) + kDefaultExtension)),
              ReadFileBytes(InFolder("cards/" + stem + kDefaultExtension)))
        << cards[i].name;
  }
}

// Pictures written on several threads: the same files, bytes, lines and
// status as on one, failures and repeated output names included.
TEST_F(ExtractCommand, ABatchOnSeveralJobsEqualsOneOnOne) {
  krt::test::PackPlan plan;
  plan.gaps_before = {4};  // else IFKRT takes the pack for its first screen
  for (const auto& card : krt::samples::SampleCards()) {
    plan.screens.push_back(ReadFileBytes(Sample(card.name)));
    plan.screens.push_back(krt::test::BuildScreenFile(krt::test::ScreenPlan{}));  // fails
  }
  WriteFileBytes(InFolder("mixed.BIN"), krt::test::BuildPack(plan));
  fs::create_directories(InFolder("again"));
  fs::copy_file(Sample("card2-palette-regions.2D"), InFolder("again/card1-16-colours.2D"));
  const std::vector<std::string> batches[] = {
      {"extract", "--render", InFolder("mixed.BIN")},
      {"render", Sample("card1-16-colours.2D"), InFolder("missing.2D"),
       InFolder("again/card1-16-colours.2D"), Sample("card4-three-palettes.2D"),
       Sample("samples.BIN"), Sample("card3-256-colours-16-dot.2D")},
  };
  for (const auto& batch : batches) {
    std::vector<KrtRun> runs;
    std::vector<std::vector<std::vector<uint8_t>>> outputs;
    for (const char* jobs : {"1", "3"}) {
      auto arguments = batch;
      arguments.insert(arguments.end(), {"--jobs", jobs, "-o", InFolder("out/")});
      runs.push_back(RunKrtWith(arguments));
      outputs.emplace_back();
      for (const auto& name : FilesIn(InFolder("out"))) {
        outputs.back().push_back(ReadFileBytes(InFolder("out/" + name)));
      }
      fs::remove_all(InFolder("out"));
    }
    SCOPED_TRACE(batch[0]);
    EXPECT_EQ(runs[0].status, 1);
    EXPECT_GE(outputs[0].size(), 3u);
    EXPECT_NE(runs[0].err, "");
    EXPECT_EQ(runs[1].status, runs[0].status);
    EXPECT_EQ(runs[1].out, runs[0].out);
    EXPECT_EQ(runs[1].err, runs[0].err);
    EXPECT_EQ(outputs[1], outputs[0]);
  }
}

TEST_F(ExtractCommand, SeveralPacksGetAFolderEach) {
  fs::copy_file(Sample("samples.BIN"), InFolder("other.BIN"));
  const auto run = RunKrtWith({"extract", "-q", "-o", InFolder("out"), Sample("samples.BIN"),
                               InFolder("other.BIN"), "000.2D"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")), (std::vector<std::string>{"other", "samples"}));
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out/other")), (std::vector<std::string>{"000.2D"}));
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out/samples")), (std::vector<std::string>{"000.2D"}));
}

TEST_F(ExtractCommand, NeverWritesOverThePack) {
  // A pack that happens to carry an entry's name, extracted into its own
  // folder.
  fs::create_directories(InFolder("p"));
  fs::copy_file(Sample("samples.BIN"), InFolder("p/001.2D"));
  const auto run = RunKrtWith({"extract", "-o", InFolder("p"), InFolder("p/001.2D")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("entry 001.2D: the output"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("is one of the inputs; not written"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFileBytes(InFolder("p/001.2D")), ReadFileBytes(Sample("samples.BIN")));
  EXPECT_EQ(KrtTest::FilesIn(InFolder("p")),
            (std::vector<std::string>{"000.2D", "001.2D", "002.2D", "003.2D"}));
}

TEST_F(ExtractCommand, DamagedPacksFailOneLineEach) {
  const auto pack = ReadFileBytes(Sample("samples.BIN"));
  WriteFileBytes(InFolder("noise.BIN"), std::vector<uint8_t>(5000, 0x77));
  WriteFileBytes(InFolder("cut.BIN"), std::vector<uint8_t>(pack.begin(), pack.begin() + 3000));
  const auto run = RunKrtWith({"extract", "-o", InFolder("out"), InFolder("noise.BIN"),
                               InFolder("cut.BIN"), Sample("card1-16-colours.2D")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(SaysFailure(run, InFolder("noise.BIN"), "not a screen pack\n"));
  EXPECT_TRUE(
      SaysFailure(run, InFolder("cut.BIN"), "no screen found in the pack (result code 3)\n"));
  EXPECT_TRUE(
      SaysFailure(run, Sample("card1-16-colours.2D"), "a screen file, not a screen pack\n"));
  EXPECT_FALSE(fs::exists(InFolder("out/cut/000.2D")));
}

TEST_F(ExtractCommand, ProgressBarOnlyOnATerminalAndNotWhenQuiet) {
  const auto on_terminal =
      RunKrtWith({"extract", "-o", InFolder("a"), Sample("samples.BIN")}, true);
  ASSERT_EQ(on_terminal.status, 0);
  // Appended, not "\r" + name: GCC 12 at -O3 warns falsely (-Wrestrict)
  // about a short literal put in front of a string.
  std::string bar_start = "\r";
  bar_start += Sample("samples.BIN") + " [";
  EXPECT_NE(on_terminal.err.find(bar_start), std::string::npos) << on_terminal.err;
  EXPECT_NE(on_terminal.err.find("] 4/4 003.2D"), std::string::npos) << on_terminal.err;
  // The bar is taken off the line at the end.
  EXPECT_EQ(on_terminal.err.back(), '\r');

  const auto redirected = RunKrtWith({"extract", "-o", InFolder("b"), Sample("samples.BIN")});
  ASSERT_EQ(redirected.status, 0);
  EXPECT_EQ(redirected.err, "");

  const auto quiet =
      RunKrtWith({"extract", "--quiet", "-o", InFolder("c"), Sample("samples.BIN")}, true);
  ASSERT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");
  EXPECT_EQ(quiet.out, "");
}

#if !defined(_WIN32)
// The plug-in writes the entry itself; when its write fails, the earlier
// output stays as it was and nothing half-written is left.
TEST_F(ExtractCommand, AFailedWriteLeavesTheEarlierOutput) {
  fs::create_directories(InFolder("out"));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  WriteFileBytes(InFolder("out/000.2D"), old);
  KrtPlatformReset();
  KrtPlatformFailNth(kKrtCallWrite, 1);
  const auto run = RunKrtWith({"extract", "-o", InFolder("out"), Sample("samples.BIN"), "000.2D"});
  const bool fired = KrtPlatformFailureFired(kKrtCallWrite);
  KrtPlatformReset();
  ASSERT_TRUE(fired);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("entry 000.2D: "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("(result code 6)"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFileBytes(InFolder("out/000.2D")), old);
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")), (std::vector<std::string>{"000.2D"}));
  EXPECT_EQ(KrtPlatformOpenFiles(), 0);
  EXPECT_EQ(KrtPlatformLiveBlocks(), 0);
}
#endif

}  // namespace
