#include <gtest/gtest.h>

#include <filesystem>

#include "krt_test_support.h"

#if !defined(_WIN32)
#include "platform_control.h"
#endif
#include "sample_cards.h"
#include "screen_builder.h"

namespace {

namespace fs = std::filesystem;
using namespace krt::test;

std::string Stem(const std::string& name) { return fs::path(name).stem().string(); }

class RenderCommand : public KrtTest {};

TEST_F(RenderCommand, EveryCardGetsAPictureNamedAfterIt) {
  std::vector<std::string> arguments = {"render"};
  for (const auto& card : krt::samples::SampleCards()) arguments.push_back(Sample(card.name));
  const auto run = RunKrtWith(arguments);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  for (const auto& card : krt::samples::SampleCards()) {
    const std::string output = InFolder(Stem(card.name) + kDefaultExtension);
    EXPECT_TRUE(fs::exists(output)) << output;
    EXPECT_NE(run.out.find(Sample(card.name) + " -> " + output + "\n"), std::string::npos)
        << run.out;
  }
}

// A BMP file is the 14-byte file header, then both blocks exactly as the
// plug-in handed them over.
TEST_F(RenderCommand, BmpIsFileHeaderThenThePluginsBlocks) {
  for (const auto& card : krt::samples::SampleCards()) {
    SCOPED_TRACE(card.name);
    const std::string output = InFolder(Stem(card.name) + ".bmp");
    const auto run = RunKrtWith({"render", "-q", "-o", output, Sample(card.name)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    const auto bmp = ReadFileBytes(output);
    const auto picture = PictureOfPlugin(Sample(card.name));
    ASSERT_GE(bmp.size(), 14u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 10), 14 + picture.info.size());
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 14, bmp.begin() + 14 + picture.info.size()),
              picture.info);
    EXPECT_EQ(std::vector<uint8_t>(bmp.begin() + 14 + picture.info.size(), bmp.end()),
              picture.pixels);
    EXPECT_EQ(picture.Width(), static_cast<int32_t>(card.width_px));
    EXPECT_EQ(picture.Height(), static_cast<int32_t>(card.height_px));
    EXPECT_EQ(picture.Depth(), card.depth);
  }
}

TEST_F(RenderCommand, OffsetFindsAScreenInsideAFile) {
  auto embedded = std::vector<uint8_t>(1000, 0x33);
  const auto card = ReadFileBytes(Sample("card2-palette-regions.2D"));
  embedded.insert(embedded.end(), card.begin(), card.end());
  WriteFileBytes(InFolder("embedded.dat"), embedded);

  const auto inside = RunKrtWith(
      {"render", "--offset", "1000", "-o", InFolder("inside.bmp"), InFolder("embedded.dat")});
  ASSERT_EQ(inside.status, 0) << inside.err;
  const auto plain =
      RunKrtWith({"render", "-o", InFolder("plain.bmp"), Sample("card2-palette-regions.2D")});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(ReadFileBytes(InFolder("inside.bmp")), ReadFileBytes(InFolder("plain.bmp")));

  const auto wrong = RunKrtWith(
      {"render", "--offset", "999", "-o", InFolder("wrong.bmp"), InFolder("embedded.dat")});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_NE(wrong.err.find("no screen file at offset 999"), std::string::npos) << wrong.err;
}

TEST_F(RenderCommand, DamagedInputsFailOneLineEachAndTheRestIsRendered) {
  const auto card = ReadFileBytes(Sample("card1-16-colours.2D"));
  auto bad_magic = card;
  bad_magic[3] = 'X';
  WriteFileBytes(InFolder("bad-magic.2D"), bad_magic);
  WriteFileBytes(InFolder("cut.2D"), std::vector<uint8_t>(card.begin(), card.end() - 1));
  WriteFileBytes(InFolder("blank.2D"), krt::test::BuildScreenFile(krt::test::ScreenPlan{}));

  const auto run = RunKrtWith({"render", "-o", InFolder("out/"), InFolder("bad-magic.2D"),
                               InFolder("cut.2D"), InFolder("blank.2D"), Sample("samples.BIN"),
                               InFolder("missing.2D"), Sample("card1-16-colours.2D")});
  EXPECT_EQ(run.status, 1);
  const struct {
    std::string file;
    std::string says;
  } failures[] = {
      {InFolder("bad-magic.2D"), "not a screen file\n"},
      {InFolder("cut.2D"),
       "not a valid screen file, or nothing on the screen to show (result "
       "code 3)\n"},
      {InFolder("blank.2D"),
       "not a valid screen file, or nothing on the screen to show (result "
       "code 3)\n"},
      {Sample("samples.BIN"),
       "a screen pack, not a screen file; krt extract --render renders "
       "its entries\n"},
      {InFolder("missing.2D"), "cannot open"},
  };
  for (const auto& failure : failures) {
    EXPECT_TRUE(SaysFailure(run, failure.file, failure.says));
  }
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")),
            (std::vector<std::string>{std::string("card1-16-colours") + kDefaultExtension}));
}

TEST_F(RenderCommand, NeverWritesOverAnInput) {
  const auto before = ReadFileBytes(Sample("card1-16-colours.2D"));
  const auto run = RunKrtWith({"render", "--format", "bmp", "-o", Sample("card1-16-colours.2D"),
                               Sample("card1-16-colours.2D")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is one of the inputs; not written"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFileBytes(Sample("card1-16-colours.2D")), before);
}

TEST_F(RenderCommand, AnExistingOutputIsReplacedOnlyByACompleteOne) {
  const std::string output = InFolder("picture.bmp");
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  WriteFileBytes(output, old);
  WriteFileBytes(InFolder("blank.2D"), krt::test::BuildScreenFile(krt::test::ScreenPlan{}));
  const auto names_before = KrtTest::FilesIn(folder());

  const auto failed = RunKrtWith({"render", "-o", output, InFolder("blank.2D")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(ReadFileBytes(output), old);
  EXPECT_EQ(KrtTest::FilesIn(folder()), names_before) << "a temporary file was left behind";

  const auto done = RunKrtWith({"render", "-o", output, Sample("card4-three-palettes.2D")});
  ASSERT_EQ(done.status, 0) << done.err;
  EXPECT_EQ(ReadFileBytes(output).size(), 14u + 1064u + 320u * 224u * 3u);
  EXPECT_EQ(KrtTest::FilesIn(folder()), names_before);
}

TEST_F(RenderCommand, OneOutputFileForSeveralInputsIsAWrongCommandLine) {
  const auto run = RunKrtWith({"render", "-o", InFolder("one.bmp"), Sample("card1-16-colours.2D"),
                               Sample("card2-palette-regions.2D")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("name a folder"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(InFolder("one.bmp")));
}

TEST_F(RenderCommand, TwoInputsOfOneNameDoNotOverwriteEachOther) {
  fs::create_directories(InFolder("a"));
  fs::create_directories(InFolder("b"));
  fs::copy_file(Sample("card1-16-colours.2D"), InFolder("a/card.2D"));
  fs::copy_file(Sample("card2-palette-regions.2D"), InFolder("b/card.2D"));
  const auto run =
      RunKrtWith({"render", "-o", InFolder("out/"), InFolder("a/card.2D"), InFolder("b/card.2D")});
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(SaysFailure(run, InFolder("b/card.2D"), "the output"));
  EXPECT_EQ(KrtTest::FilesIn(InFolder("out")).size(), 1u);
}

#if !defined(_WIN32)
// Failures deep inside the plug-in reach the person as words, and leave
// nothing open, allocated or half-written.
TEST_F(RenderCommand, PluginFailuresAreReportedInWords) {
  const struct {
    KrtPlatformCall kind;
    const char* says;
  } cases[] = {
      {kKrtCallOpen, "the file could not be opened or read in full (result code 6)\n"},
      {kKrtCallRead, "the file could not be opened or read in full (result code 6)\n"},
      {kKrtCallAlloc, "out of memory (result code 4)\n"},
      {kKrtCallLock, "out of memory (result code 4)\n"},
  };
  const std::string output = InFolder("out.bmp");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    KrtPlatformReset();
    KrtPlatformFailNth(c.kind, 1);
    const auto run = RunKrtWith({"render", "-o", output, Sample("card4-three-palettes.2D")});
    const bool fired = KrtPlatformFailureFired(c.kind);
    KrtPlatformReset();
    ASSERT_TRUE(fired);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(SaysFailure(run, Sample("card4-three-palettes.2D"), c.says));
    EXPECT_FALSE(fs::exists(output));
    EXPECT_EQ(KrtPlatformOpenFiles(), 0);
    EXPECT_EQ(KrtPlatformLiveBlocks(), 0);
  }
}
#endif

// Every build's encoder (libpng, or the imaging component on Windows) keeps
// the bitmap's depth: indexed PNGs (colour type 3) at 4 and 8 bits, RGB (2)
// at 24. The native suite also decodes the dots (png_output_test).
TEST_F(RenderCommand, PngPicturesKeepTheDepthOfTheBitmap) {
  for (const auto& card : krt::samples::SampleCards()) {
    const std::string output = InFolder(Stem(card.name) + ".png");
    const auto run = RunKrtWith({"render", "-o", output, Sample(card.name)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> png = ReadFileBytes(output);
    ASSERT_GE(png.size(), 26u);
    // The header chunk: big-endian width and height, bit depth, colour type.
    auto be32 = [&png](size_t at) {
      return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 | png[at + 3];
    };
    EXPECT_EQ(be32(16), card.width_px) << card.name;
    EXPECT_EQ(be32(20), card.height_px) << card.name;
    EXPECT_EQ(png[24], card.depth == 24 ? 8 : card.depth) << card.name;
    EXPECT_EQ(png[25], card.depth == 24 ? 2 : 3) << card.name;
  }
}

}  // namespace
