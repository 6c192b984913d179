#include "screen_format/pack_walk.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "pack_samples.h"
#include "pack_source.h"
#include "screen_builder.h"

namespace {

using krt::archive::NextPackEntry;
using krt::archive::PackEntry;
using krt::archive::PackSource;
using krt::archive::PackWalk;
using namespace krt::test;

// (position, extent) of each entry; indices are checked as they come.
using Entries = std::vector<std::pair<uint32_t, uint32_t>>;

Entries WalkAll(const PackSource& source, int64_t start, uint32_t total, krt::Result* end) {
  PackWalk walk;
  krt::archive::StartPackWalk(source, start, total, &walk);
  Entries entries;
  PackEntry entry;
  while (NextPackEntry(&walk, &entry)) {
    EXPECT_EQ(entry.index, entries.size());
    entries.emplace_back(entry.position, entry.extent);
  }
  EXPECT_FALSE(NextPackEntry(&walk, &entry));  // an ended walk stays ended
  *end = walk.end_result;
  return entries;
}

Entries WalkImage(const std::vector<uint8_t>& pack) {
  PackSource source;
  source.image = pack.data();
  krt::Result end = krt::kFileError;
  Entries entries = WalkAll(source, 0, static_cast<uint32_t>(pack.size()), &end);
  EXPECT_EQ(end, krt::kSuccess);
  return entries;
}

struct OpenFile {
  explicit OpenFile(const std::vector<uint8_t>& bytes)
      : path(krt::test::WriteTempFile(bytes, "walk.BIN")),
        handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~OpenFile() {
    CloseHandle(handle);
    krt::test::RemoveFile(path);
  }
  std::string path;
  HANDLE handle;
};

Entries WalkFile(const std::vector<uint8_t>& pack, int64_t start, krt::Result* end) {
  OpenFile file(pack);
  EXPECT_NE(file.handle, INVALID_HANDLE_VALUE);
  return WalkAll(krt::archive::FilePackSource(file.handle), start,
                 static_cast<uint32_t>(pack.size()), end);
}

Entries Expected(const PackPlan& plan, size_t count) {
  const std::vector<size_t> positions = krt::test::ScreenPositions(plan);
  Entries entries;
  for (size_t i = 0; i < count; ++i) {
    entries.emplace_back(static_cast<uint32_t>(positions[i]),
                         static_cast<uint32_t>(plan.screens[i].size()));
  }
  return entries;
}

TEST(PackWalk, GeneratedPacksYieldEveryScreenFromImageAndFile) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    const PackPlan plan = krt::test::GeneratedPack(seed);
    const std::vector<uint8_t> pack = BuildPack(plan);
    const Entries expected = Expected(plan, plan.screens.size());
    EXPECT_EQ(WalkImage(pack), expected) << "seed " << seed;
    krt::Result end = krt::kFileError;
    EXPECT_EQ(WalkFile(pack, 0, &end), expected) << "seed " << seed;
    EXPECT_EQ(end, krt::kSuccess) << "seed " << seed;
  }
}

PackPlan ThreeScreens() {
  PackPlan plan;
  plan.screens = {krt::test::BuildScreenFile(krt::test::ScreenPlan{}), krt::test::SmallestScreen(),
                  krt::test::BuildScreenFile(krt::test::ScreenPlan{})};
  plan.gaps_before = {4, 60, 0};
  return plan;
}

struct EndCase {
  const char* what;
  void (*edit)(PackPlan& plan, std::vector<uint8_t>& pack);
  size_t entries;  // the first screens of ThreeScreens() that are found
};

class PackWalkEnds : public testing::TestWithParam<EndCase> {};

TEST_P(PackWalkEnds, StopsAfterTheScreensBeforeIt) {
  const EndCase& c = GetParam();
  PackPlan plan = ThreeScreens();
  std::vector<uint8_t> pack;
  c.edit(plan, pack);
  if (pack.empty()) pack = BuildPack(plan);
  EXPECT_EQ(WalkImage(pack), Expected(plan, c.entries)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PackWalkEnds,
    testing::Values(EndCase{"no trailer", [](PackPlan&, std::vector<uint8_t>&) {}, 3},
                    EndCase{"200 zero bytes after the last screen",
                            [](PackPlan& p, std::vector<uint8_t>&) { p.trailer.assign(200, 0); },
                            3},
                    EndCase{"a magic in the last 159 bytes",
                            [](PackPlan& p, std::vector<uint8_t>&) {
                              p.trailer.assign(p.screens[0].begin(), p.screens[0].begin() + 159);
                            },
                            3},
                    EndCase{"last screen one byte short of its extent",
                            [](PackPlan& p, std::vector<uint8_t>& pack) {
                              pack = BuildPack(p);
                              pack.pop_back();
                            },
                            2},
                    EndCase{"damaged section table in the second screen",
                            [](PackPlan& p, std::vector<uint8_t>&) {
                              krt::test::SetSection(p.screens[1], 0, 255, 1);
                            },
                            1},
                    EndCase{"magic 64 bytes after the previous screen",
                            [](PackPlan& p, std::vector<uint8_t>&) { p.gaps_before[1] = 64; }, 1},
                    EndCase{"magic off the 4-byte grid",
                            [](PackPlan& p, std::vector<uint8_t>&) { p.gaps_before[2] = 6; }, 2},
                    EndCase{"first magic at 64",
                            [](PackPlan& p, std::vector<uint8_t>&) { p.gaps_before[0] = 64; }, 0}));

TEST(PackWalk, FileWalkFromAStartOffsetCountsPositionsFromTheFileStart) {
  PackPlan plan = ThreeScreens();
  plan.gaps_before[0] = 100 + 8;  // 100 bytes of something else, then the pack
  const std::vector<uint8_t> pack = BuildPack(plan);
  krt::Result end = krt::kFileError;
  EXPECT_EQ(WalkFile(pack, 100, &end), Expected(plan, 3));
  EXPECT_EQ(end, krt::kSuccess);
  // From 0, the first screen's magic is 108 bytes away: beyond the window.
  EXPECT_EQ(WalkFile(pack, 0, &end), Entries{});
}

TEST(PackWalk, NegativeStartFindsNothing) {
  const std::vector<uint8_t> pack = BuildPack(ThreeScreens());
  krt::Result end = krt::kSuccess;
  // A file refuses to move there: a read failure.
  EXPECT_EQ(WalkFile(pack, -4, &end), Entries{});
  EXPECT_EQ(end, krt::kFileError);
  // An image is never read before its first byte.
  PackSource source;
  source.image = pack.data() + 4;
  EXPECT_EQ(WalkAll(source, -4, static_cast<uint32_t>(pack.size() - 4), &end), Entries{});
  EXPECT_EQ(end, krt::kSuccess);
}

// A caller's read function over a pack in memory that fails from its
// `fail_at`-th window on.
struct PackReads {
  const std::vector<uint8_t>* pack;
  int fail_at;
  int reads = 0;
};

krt::Result ReadPack(void* context, int64_t offset, uint32_t count, uint8_t* buffer) {
  auto* reads = static_cast<PackReads*>(context);
  if (++reads->reads >= reads->fail_at) return krt::kLockFailed;
  if (offset < 0 || uint64_t(offset) + count > reads->pack->size()) return krt::kFileError;
  std::memcpy(buffer, reads->pack->data() + offset, count);
  return krt::kSuccess;
}

TEST(PackWalk, ReadFunctionSeesWhatTheImageShowsAndEndsOnItsFailure) {
  const PackPlan plan = ThreeScreens();
  const std::vector<uint8_t> pack = BuildPack(plan);
  for (const int fail_at : {1, 3, 100}) {
    PackReads reads{&pack, fail_at};
    krt::Result end = krt::kSuccess;
    const Entries entries =
        WalkAll(PackSource{nullptr, ReadPack, &reads}, 0, uint32_t(pack.size()), &end);
    const size_t whole = fail_at > 3 ? 3 : size_t(fail_at - 1);
    EXPECT_EQ(entries, Expected(plan, whole)) << fail_at;
    EXPECT_EQ(end, fail_at > 3 ? krt::kSuccess : krt::kLockFailed) << fail_at;
  }
}

TEST(PackWalk, SmallestScreensStillAdvance) {
  PackPlan plan;
  plan.screens.assign(50, krt::test::SmallestScreen());
  const std::vector<uint8_t> pack = BuildPack(plan);
  EXPECT_EQ(WalkImage(pack), Expected(plan, 50));
}

}  // namespace
