// What the page's worker calls. A file comes in as bytes in a buffer of the
// module's memory; both plug-ins are called through the host-side call layer
// with memory input, as a viewer calls them on a file it has read into
// memory. Answers go back as records of 32-bit words that the worker reads
// in place (site/worker.js names the fields in the same order).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "archive_requests.h"
#include "file_probe.h"
#include "image_requests.h"
#include "linked_plugins.h"
#include "page_picture.h"
#include "result_words.h"

#define KRT_PAGE_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace krt::page {
namespace {

using Buffer = std::vector<uint8_t>;

// What a file is to the page.
enum FileKind : int32_t { kNeither = 0, kScreen = 1, kPack = 2, kNoPlugins = -1 };

// A picture record: result (0 shown, else the failure in `message`), width,
// height, depth, mode, palette count, colour slots, then the addresses of
// the colours and the dots, the dots' width and height, the message, then
// the address of the dot values (null unless kept), the colour table's size
// and address.
struct PictureAnswer {
  int32_t fields[15] = {};
  PagePicture picture;
  std::string message;
};

// A pack record: result, entry count, address of the entries, message. Each
// entry is its position, size and a zero-terminated name of kNameBytes.
constexpr size_t kNameBytes = 32;
struct EntryRecord {
  uint32_t position = 0;
  uint32_t size = 0;
  char name[kNameBytes] = {};
};
static_assert(sizeof(EntryRecord) == 40, "worker.js reads entries of 40 bytes");
struct PackAnswer {
  int32_t fields[4] = {};
  std::vector<EntryRecord> entries;
  std::string message;
};

// An address as a 32-bit word; the worker reads it back unsigned.
int32_t Address(const void* p) { return int32_t(reinterpret_cast<uintptr_t>(p)); }

PictureAnswer* Finish(PictureAnswer* answer, const host::Outcome& outcome) {
  const PagePicture& p = answer->picture;
  answer->message = outcome.reason;
  const int32_t values[] = {outcome.ok ? 0 : 1,
                            p.width,
                            p.height,
                            p.depth,
                            p.mode,
                            p.palette_count,
                            int32_t(p.colours.size() / 4),
                            Address(p.colours.data()),
                            Address(p.rgba.data()),
                            p.rgba_width,
                            p.rgba_height,
                            Address(answer->message.c_str()),
                            p.dots.empty() ? 0 : Address(p.dots.data()),
                            int32_t(p.table.size() / 4),
                            Address(p.table.data())};
  static_assert(sizeof values == sizeof answer->fields);
  for (size_t k = 0; k < std::size(values); ++k) answer->fields[k] = values[k];
  return answer;
}

// A picture larger than this is not shown: its dots would not fit the
// module's memory beside the plug-in's bitmap (8192 x 8192 dots).
constexpr uint64_t kLargestPicture = uint64_t{8192} * 8192;

PictureAnswer* Picture(const Buffer& screen, int32_t fit_px) {
  auto* answer = new PictureAnswer;
  std::string error;
  const host::PluginSet* plugins = LinkedPlugins(&error);
  if (plugins == nullptr) return Finish(answer, host::Outcome::Failed(error));
  const host::PictureSource source{std::string(), 0, &screen};
  host::PictureSummary summary;
  host::Outcome outcome = host::QueryPicture(plugins->image, source, &summary);
  if (!outcome.ok) return Finish(answer, outcome);
  if (uint64_t(uint32_t(summary.width)) * uint32_t(summary.height) > kLargestPicture) {
    return Finish(answer, host::Outcome::Failed("the picture is too large to show here (" +
                                                std::to_string(summary.width) + " x " +
                                                std::to_string(summary.height) + " dots)"));
  }
  host::Bitmap bitmap;
  outcome = host::LoadPicture(plugins->image, source, host::ProgressHook{}, &bitmap);
  if (!outcome.ok) return Finish(answer, outcome);
  ToRgba(bitmap, fit_px, &answer->picture);
  DescribeScreen(screen, &answer->picture);
  return Finish(answer, host::Outcome::Done());
}

PackAnswer* FinishPack(PackAnswer* answer, const host::Outcome& outcome) {
  answer->message = outcome.reason;
  answer->fields[0] = outcome.ok ? 0 : 1;
  answer->fields[1] = int32_t(answer->entries.size());
  answer->fields[2] = Address(answer->entries.data());
  answer->fields[3] = Address(answer->message.c_str());
  return answer;
}

}  // namespace
}  // namespace krt::page

using namespace krt;
using namespace krt::page;

// A buffer of `size` bytes for a file; null when there is no memory for it.
KRT_PAGE_EXPORT(krt_buffer_new) Buffer* krt_buffer_new(uint32_t size) {
  auto* buffer = new (std::nothrow) Buffer;
  if (buffer == nullptr) return nullptr;
  buffer->resize(size);
  return buffer;
}

KRT_PAGE_EXPORT(krt_buffer_data) uint8_t* krt_buffer_data(Buffer* buffer) { return buffer->data(); }

KRT_PAGE_EXPORT(krt_buffer_free) void krt_buffer_free(Buffer* buffer) { delete buffer; }

// Which plug-in takes the file: its first bytes are offered to IFKRT, then
// to AXKRT, as a viewer offers them.
KRT_PAGE_EXPORT(krt_file_kind) int32_t krt_file_kind(const Buffer* file) {
  std::string error;
  const host::PluginSet* plugins = LinkedPlugins(&error);
  if (plugins == nullptr) return kNoPlugins;
  Buffer leading(host::kProbeSize, 0);
  std::copy_n(file->begin(), std::min(file->size(), leading.size()), leading.begin());
  const auto address = reinterpret_cast<uintptr_t>(leading.data());
  if (plugins->image.IsSupported("", address) != 0) return kScreen;
  if (plugins->archive.IsSupported("", address) != 0) return kPack;
  return kNeither;
}

// The screen file's picture, whole or fitted into a fit_px square.
KRT_PAGE_EXPORT(krt_picture) PictureAnswer* krt_picture(const Buffer* screen, int32_t fit_px) {
  return Picture(*screen, fit_px);
}

// The picture of the pack entry whose first byte is at `position`, taken
// out by AXKRT and handed to IFKRT.
KRT_PAGE_EXPORT(krt_entry_picture)
PictureAnswer* krt_entry_picture(const Buffer* pack, uint32_t position, int32_t fit_px) {
  std::string error;
  const host::PluginSet* plugins = LinkedPlugins(&error);
  if (plugins == nullptr) return Finish(new PictureAnswer, host::Outcome::Failed(error));
  if (!host::FitsLengthArgument(*pack) || position >= pack->size()) {
    return Finish(new PictureAnswer, host::Outcome::Failed("no entry there"));
  }
  // In memory, the image handed to GetFile begins at the entry.
  const host::CallSource source{reinterpret_cast<const char*>(pack->data() + position),
                                int32_t(pack->size() - position), kMemoryInput};
  const host::FileCall call = host::CallGetFileToMemory(plugins->archive, source, {});
  if (call.result != kSuccess) {
    return Finish(new PictureAnswer, host::Outcome::Failed(host::DescribeResult(
                                         host::ExportCall::kFileToMemory, call.result)));
  }
  host::TakenBlock entry = host::TakeHandedOverBlock(call.block);
  if (!entry.taken) return Finish(new PictureAnswer, host::Outcome::Failed(entry.error));
  return Picture(entry.bytes, fit_px);
}

KRT_PAGE_EXPORT(krt_picture_fields) int32_t* krt_picture_fields(PictureAnswer* answer) {
  return answer->fields;
}

KRT_PAGE_EXPORT(krt_picture_free) void krt_picture_free(PictureAnswer* answer) { delete answer; }

// The pack's entries as AXKRT lists them.
KRT_PAGE_EXPORT(krt_pack) PackAnswer* krt_pack(const Buffer* pack) {
  auto* answer = new PackAnswer;
  std::string error;
  const host::PluginSet* plugins = LinkedPlugins(&error);
  if (plugins == nullptr) return FinishPack(answer, host::Outcome::Failed(error));
  if (!host::FitsLengthArgument(*pack)) {
    return FinishPack(answer, host::Outcome::Failed("the pack is too large"));
  }
  std::vector<host::ListedEntry> entries;
  const host::Outcome listed =
      host::ListEntries(plugins->archive, host::MemorySource(*pack), &entries);
  if (!listed.ok) return FinishPack(answer, listed);
  for (const host::ListedEntry& listed_entry : entries) {
    EntryRecord entry;
    entry.position = listed_entry.position;
    entry.size = listed_entry.size;
    const size_t length = std::min(listed_entry.name.size(), kNameBytes - 1);
    std::memcpy(entry.name, listed_entry.name.data(), length);
    answer->entries.push_back(entry);
  }
  return FinishPack(answer, host::Outcome::Done());
}

KRT_PAGE_EXPORT(krt_pack_fields) int32_t* krt_pack_fields(PackAnswer* answer) {
  return answer->fields;
}

KRT_PAGE_EXPORT(krt_pack_free) void krt_pack_free(PackAnswer* answer) { delete answer; }
