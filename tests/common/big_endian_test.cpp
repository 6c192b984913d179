#include "big_endian.h"

#include <gtest/gtest.h>

namespace {

TEST(BigEndian, ReadsUnalignedValuesMostSignificantByteFirst) {
  const uint8_t bytes[] = {0xFF, 0x12, 0x34, 0x56, 0x78, 0x9A};
  EXPECT_EQ(krt::ReadBe16(bytes + 1), 0x1234);
  EXPECT_EQ(krt::ReadBe32(bytes + 1), 0x12345678u);
  EXPECT_EQ(krt::ReadBe32(bytes + 2), 0x3456789Au);
  // High bytes with the top bit set stay unsigned.
  EXPECT_EQ(krt::ReadBe16(bytes), 0xFF12);
  EXPECT_EQ(krt::ReadBe32(bytes), 0xFF123456u);
}

}  // namespace
