// GetPicture: the picture of a screen as a Windows device-independent
// bitmap, in two movable blocks handed to the host on success only.
#include <windows.h>

#include "bitmap_setup.h"
#include "draw_picture.h"
#include "host_memory.h"
#include "picture_layout.h"
#include "plugin_interface.h"
#include "scratch_memory.h"
#include "screen_format/limits.h"
#include "screen_source.h"

namespace {

using namespace krt::image;

int32_t ResultOf(LayoutStatus status) {
  switch (status) {
    case LayoutStatus::kReady:
      return krt::kSuccess;
    case LayoutStatus::kFailsRowTest:
      return krt::kLayoutNotSupported;
    default:
      return krt::kNotValidData;
  }
}

using krt::format::kLargestPixelBlock;

// Everything after loading: layout, allocation, drawing, hand-over. The
// source stays the caller's to release.
int32_t BuildPicture(const ScreenSections& screen, krt::MemoryHandle* info_slot,
                     krt::MemoryHandle* pixel_slot) {
  PictureLayout layout;
  const int32_t decided = ResultOf(DecidePictureLayout(screen, &layout));
  if (decided != krt::kSuccess) return decided;

  // Every size is settled before anything is allocated, so a picture too
  // large for a 32-bit block is refused whole.
  const BitmapSizes sizes = MeasureBitmap(layout, screen.size[krt::kColourTable]);
  if (!krt::FitsBlock(sizes.pixel_bytes) || !krt::FitsBlock(sizes.lookup_bytes) ||
      sizes.pixel_bytes > kLargestPixelBlock) {
    return krt::kAllocationFailed;
  }

  uint8_t* lookup_table = nullptr;
  if (layout.mode == RenderingMode::kLookup) {
    lookup_table = AllocateLookupTable(sizes.lookup_bytes);
    if (lookup_table == nullptr) return krt::kAllocationFailed;
  }
  krt::LockedBlock info_block;
  if (krt::AllocateLockedBlock(kBitmapInfoSize, &info_block) != krt::BlockStatus::kReady) {
    ReleaseLookupTable(lookup_table);
    return krt::kAllocationFailed;
  }
  krt::LockedBlock pixel_block;
  if (krt::AllocateLockedBlock(sizes.pixel_bytes, &pixel_block) != krt::BlockStatus::kReady) {
    krt::ReleaseLockedBlock(&info_block);
    ReleaseLookupTable(lookup_table);
    return krt::kAllocationFailed;
  }

  const uint32_t colour_count = SetUpBitmap(screen, layout, sizes, info_block.bytes, lookup_table);
  DrawPicture(layout,
              MakeCanvas(screen, layout, sizes, colour_count, pixel_block.bytes, lookup_table));
  ReleaseLookupTable(lookup_table);

  *info_slot = krt::HandOverBlock(&info_block);
  *pixel_slot = krt::HandOverBlock(&pixel_block);
  return krt::kSuccess;
}

bool AsksToStop(krt::ProgressCallback progress, int32_t step, intptr_t user_value) {
  return progress != nullptr && progress(step, 2, user_value) != 0;
}

int32_t DecodePicture(krt::HostPath source, krt::LengthArgument offset_or_length, uint32_t flag,
                      krt::MemoryHandle* info_slot, krt::MemoryHandle* pixel_slot,
                      krt::ProgressCallback progress, intptr_t user_value) {
  if (AsksToStop(progress, 0, user_value)) return krt::kStoppedByCallback;
  // Outside the interface, but a null slot would be written through.
  if (info_slot == nullptr || pixel_slot == nullptr) return krt::kBadArgument;
  LoadedScreen screen;
  const int32_t loaded = LoadScreen(source, offset_or_length, flag, krt::kColourTable, &screen);
  if (loaded != krt::kSuccess) return loaded;
  if (AsksToStop(progress, 1, user_value)) {
    ReleaseScreen(&screen);
    return krt::kStoppedByCallback;
  }
  const int32_t result = BuildPicture(screen.sections, info_slot, pixel_slot);
  ReleaseScreen(&screen);
  // The final report cannot stop anything: the host already holds the blocks.
  if (result == krt::kSuccess && progress != nullptr) progress(2, 2, user_value);
  return result;
}

}  // namespace

KRT_EXPORT int32_t KRT_STDCALL GetPicture(const char* source, krt::LengthArgument offset_or_length,
                                          uint32_t flag, krt::MemoryHandle* info_slot,
                                          krt::MemoryHandle* pixel_slot,
                                          krt::ProgressCallback progress, intptr_t user_value) {
  return DecodePicture(krt::AnsiPath(source), offset_or_length, flag, info_slot, pixel_slot,
                       progress, user_value);
}

KRT_EXPORT int32_t KRT_STDCALL GetPictureW(const krt::WideChar* source,
                                           krt::LengthArgument offset_or_length, uint32_t flag,
                                           krt::MemoryHandle* info_slot,
                                           krt::MemoryHandle* pixel_slot,
                                           krt::ProgressCallback progress, intptr_t user_value) {
  return DecodePicture(krt::WidePath(source), offset_or_length, flag, info_slot, pixel_slot,
                       progress, user_value);
}
