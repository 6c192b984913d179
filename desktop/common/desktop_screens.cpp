#include "desktop_screens.h"

#include <cstdlib>
#include <cstring>

#include "screen_format/locate_screen.h"
#include "screen_format/pack_walk.h"

namespace krt::desktop {
namespace {

// A pack's few bytes of its own come before its first screen, so that
// screen is looked for from this byte on; a magic at byte 0 is a screen file.
constexpr size_t kFirstMagicFrom = 4;

uint32_t Clamp32(uint64_t value) {
  return static_cast<uint32_t>(value < UINT32_MAX ? value : UINT32_MAX);
}

// A block from malloc, released when it goes out of scope.
struct Block {
  uint8_t* bytes = nullptr;
  explicit Block(uint64_t size) {
    if (size > 0 && size <= SIZE_MAX) bytes = static_cast<uint8_t*>(std::calloc(size_t(size), 1));
  }
  ~Block() { std::free(bytes); }
  Block(const Block&) = delete;
  Block& operator=(const Block&) = delete;
};

}  // namespace

FileKind Sniff(const uint8_t* first_bytes, size_t available, uint64_t file_length) {
  if (first_bytes == nullptr) return FileKind::kNeither;
  if (format::IsScreenFileStart(first_bytes, available, file_length)) return FileKind::kScreen;
  if (available <= kFirstMagicFrom || file_length <= kFirstMagicFrom) return FileKind::kNeither;
  // LocateScreen reads a whole window's worth; what the file lacks is zero.
  uint8_t window[format::kScanWindowSize] = {};
  const size_t have = available - kFirstMagicFrom;
  std::memcpy(window, first_bytes + kFirstMagicFrom, have < sizeof window ? have : sizeof window);
  archive::ScreenLocation screen;
  return archive::LocateScreen(window, Clamp32(file_length - kFirstMagicFrom), &screen)
             ? FileKind::kPack
             : FileKind::kNeither;
}

size_t ListScreens(const uint8_t* bytes, size_t length, ScreenSlice* slices, size_t capacity) {
  if (bytes == nullptr || uint64_t{length} > UINT32_MAX) return 0;
  if (format::IsScreenFileStart(bytes, length, length)) {
    if (capacity > 0) slices[0] = ScreenSlice{0, length};
    return 1;
  }
  // A memory image is read in place, and the walk never reads past
  // `length`; one shorter than a scan window holds no pack.
  if (length < format::kScanWindowSize) return 0;
  archive::PackWalk walk;
  archive::StartPackWalk(archive::PackSource{bytes}, 0, static_cast<uint32_t>(length), &walk);
  size_t count = 0;
  archive::PackEntry entry;
  while (archive::NextPackEntry(&walk, &entry)) {
    if (count < capacity) slices[count] = ScreenSlice{entry.position, entry.extent};
    ++count;
  }
  return count;
}

const char* Explain(PictureStatus status) {
  switch (status) {
    case PictureStatus::kReady:
      return "the screen has a picture";
    case PictureStatus::kNotAScreen:
      return "not a screen file, or its sections run past the end of the file";
    case PictureStatus::kNoPicture:
      return "the screen has no picture to show (no pages, or every pattern name is zero)";
    case PictureStatus::kTooLarge:
      return "the screen's picture is larger than the viewer plug-ins draw";
    case PictureStatus::kOutOfMemory:
      return "not enough memory for the screen's picture";
  }
  return "unknown failure";
}

PictureStatus Measure(const uint8_t* screen, size_t length, format::ScreenDescription* screen_out) {
  format::ScreenDescription described;
  const format::ScreenStatus status = format::DescribeScreen(screen, length, &described);
  if (status == format::ScreenStatus::kNotAScreen) return PictureStatus::kNotAScreen;
  if (status != format::ScreenStatus::kReady) return PictureStatus::kNoPicture;
  if (described.pixel_bytes > format::kLargestPixelBlock || described.width_px <= 0 ||
      described.height_px <= 0) {
    return PictureStatus::kTooLarge;
  }
  *screen_out = described;
  return PictureStatus::kReady;
}

PictureStatus Draw(const uint8_t* screen, size_t length, const format::ScreenDescription& measured,
                   const PictureTarget& target) {
  if (measured.pixel_bytes > format::kLargestPixelBlock) return PictureStatus::kTooLarge;
  if (target.indexed && measured.depth == 24) return PictureStatus::kNoPicture;
  uint8_t info[format::kPictureInfoSize] = {};
  Block pixels(measured.pixel_bytes);
  Block lookup(measured.lookup_bytes);
  if (pixels.bytes == nullptr || (measured.lookup_bytes > 0 && lookup.bytes == nullptr)) {
    return PictureStatus::kOutOfMemory;
  }
  if (!format::DrawScreenPicture(screen, length, info, pixels.bytes, lookup.bytes)) {
    return PictureStatus::kNoPicture;
  }

  // Colour slot k: blue, green, red and a zero byte.
  const uint8_t* slots = info + 40;
  if (target.indexed) {
    for (size_t k = 0; k < 256; ++k) {
      for (size_t c = 0; c < 3; ++c) target.colours[3 * k + c] = slots[4 * k + 2 - c];
    }
  }
  const auto width = size_t(measured.width_px);
  const auto height = size_t(measured.height_px);
  for (size_t y = 0; y < height; ++y) {
    const uint8_t* from = pixels.bytes + (height - 1 - y) * measured.row_stride;
    uint8_t* to = target.rows + y * target.row_stride;
    for (size_t x = 0; x < width; ++x) {
      if (measured.depth == 24) {
        for (size_t c = 0; c < 3; ++c) to[3 * x + c] = from[3 * x + 2 - c];
        continue;
      }
      const uint8_t dot =
          measured.depth == 8 ? from[x] : uint8_t((from[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF);
      if (target.indexed) {
        to[x] = dot;
      } else {
        for (size_t c = 0; c < 3; ++c) to[3 * x + c] = slots[4 * size_t(dot) + 2 - c];
      }
    }
  }
  return PictureStatus::kReady;
}

}  // namespace krt::desktop
