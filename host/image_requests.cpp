#include "image_requests.h"

#include <limits>

#include "handed_over_block.h"
#include "result_words.h"

namespace krt::host {
namespace {

constexpr uint32_t kFileInput = 0;
constexpr uint32_t kMemoryInput = 1;

struct CallArguments {
  const char* source = nullptr;
  int32_t offset_or_length = 0;
  uint32_t flag = kFileInput;
};

bool ArgumentsFor(const PictureSource& source, CallArguments* arguments, Outcome* refusal) {
  if (source.memory == nullptr) {
    *arguments = {source.path.c_str(), source.offset, kFileInput};
    return true;
  }
  if (source.memory->size() > size_t{std::numeric_limits<int32_t>::max()}) {
    *refusal = Outcome::Failed("the screen file is too large to hand to the plug-in");
    return false;
  }
  *arguments = {reinterpret_cast<const char*>(source.memory->data()),
                static_cast<int32_t>(source.memory->size()), kMemoryInput};
  return true;
}

}  // namespace

Outcome QueryPicture(const ImagePlugin& plugin, const PictureSource& source,
                     PictureSummary* summary) {
  CallArguments call;
  Outcome refusal;
  if (!ArgumentsFor(source, &call, &refusal)) return refusal;
  PictureInfo info{};
  const int32_t code = plugin.GetPictureInfo(call.source, call.offset_or_length, call.flag, &info);
  if (code != kSuccess) return Outcome::Failed(DescribeResult(Request::kPictureInfo, code));
  FreeHandedOverBlock(info.text);
  *summary = {info.width, info.height, info.colour_depth};
  return Outcome::Done();
}

Outcome LoadPicture(const ImagePlugin& plugin, const PictureSource& source, ProgressHook progress,
                    Bitmap* bitmap) {
  CallArguments call;
  Outcome refusal;
  if (!ArgumentsFor(source, &call, &refusal)) return refusal;
  MemoryHandle info_handle = nullptr;
  MemoryHandle pixel_handle = nullptr;
  const int32_t code =
      plugin.GetPicture(call.source, call.offset_or_length, call.flag, &info_handle, &pixel_handle,
                        progress.callback, progress.user_value);
  if (code != kSuccess) {
    // A plug-in writes no handle on failure; one that did anyway is not leaked.
    FreeHandedOverBlock(info_handle);
    FreeHandedOverBlock(pixel_handle);
    return Outcome::Failed(DescribeResult(Request::kPicture, code));
  }
  std::vector<uint8_t> info_block;
  std::vector<uint8_t> pixel_block;
  std::string error;
  const bool info_taken = TakeHandedOverBlock(info_handle, &info_block, &error);
  const bool pixels_taken = TakeHandedOverBlock(pixel_handle, &pixel_block, &error);
  if (!info_taken || !pixels_taken) return Outcome::Failed(error);
  if (!ReadBitmapBlocks(std::move(info_block), std::move(pixel_block), bitmap, &error)) {
    return Outcome::Failed(error);
  }
  return Outcome::Done();
}

}  // namespace krt::host
