#include "image_requests.h"

#include "result_words.h"

namespace krt::host {
namespace {

bool SourceFor(const PictureSource& source, CallSource* call, Outcome* refusal) {
  if (source.memory == nullptr) {
    *call = FileSource(source.path, source.offset);
    return true;
  }
  if (!FitsLengthArgument(*source.memory)) {
    *refusal = Outcome::Failed("the screen file is too large to hand to the plug-in");
    return false;
  }
  *call = MemorySource(*source.memory);
  return true;
}

}  // namespace

Outcome QueryPicture(const ImagePlugin& plugin, const PictureSource& source,
                     PictureSummary* summary) {
  CallSource call;
  Outcome refusal;
  if (!SourceFor(source, &call, &refusal)) return refusal;
  PictureInfo info{};
  const int32_t code = plugin.GetPictureInfo(call.source, call.offset_or_length, call.flag, &info);
  if (code != kSuccess) return Outcome::Failed(DescribeResult(ExportCall::kPictureInfo, code));
  FreeHandedOverBlock(info.text);
  *summary = {info.width, info.height, info.colour_depth};
  return Outcome::Done();
}

Outcome LoadPicture(const ImagePlugin& plugin, const PictureSource& source, ProgressHook progress,
                    Bitmap* bitmap) {
  CallSource call;
  Outcome refusal;
  if (!SourceFor(source, &call, &refusal)) return refusal;
  const PictureCall made = CallGetPicture(plugin, call, progress);
  if (made.result != kSuccess) {
    return Outcome::Failed(DescribeResult(ExportCall::kPicture, made.result));
  }
  TakenBlock info = TakeHandedOverBlock(made.info);
  TakenBlock pixels = TakeHandedOverBlock(made.pixels);
  if (!pixels.taken) return Outcome::Failed(pixels.error);
  if (!info.taken) return Outcome::Failed(info.error);
  std::string error;
  if (!ReadBitmapBlocks(std::move(info.bytes), std::move(pixels.bytes), bitmap, &error)) {
    return Outcome::Failed(error);
  }
  return Outcome::Done();
}

}  // namespace krt::host
