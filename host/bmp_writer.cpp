#include "bmp_writer.h"

namespace krt::host {
namespace {

constexpr uint32_t kFileHeaderSize = 14;

void PutLe16(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void PutLe32(std::vector<uint8_t>& bytes, uint32_t value) {
  PutLe16(bytes, static_cast<uint16_t>(value));
  PutLe16(bytes, static_cast<uint16_t>(value >> 16));
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Bitmap& bitmap) {
  // Both sizes are bounded when the bitmap is read (1064 and 1 GB), so the
  // sum fits 32 bits.
  const uint32_t pixels_at = kFileHeaderSize + static_cast<uint32_t>(bitmap.info.size());
  const uint32_t file_size = pixels_at + static_cast<uint32_t>(bitmap.pixels.size());
  std::vector<uint8_t> bytes;
  bytes.reserve(file_size);
  bytes.push_back('B');
  bytes.push_back('M');
  PutLe32(bytes, file_size);
  PutLe32(bytes, 0);  // two reserved 16-bit fields
  PutLe32(bytes, pixels_at);
  bytes.insert(bytes.end(), bitmap.info.begin(), bitmap.info.end());
  bytes.insert(bytes.end(), bitmap.pixels.begin(), bitmap.pixels.end());
  return bytes;
}

}  // namespace krt::host
