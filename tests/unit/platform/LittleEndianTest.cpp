#include <gtest/gtest.h>

#include "bytes/LittleEndian.h"

using namespace bytes;

// Every byte in its place, the high bits of each included, at an odd address.
TEST(LittleEndian, ReadsEachWidthLowByteFirst) {
    constexpr uint8_t b[] = {0x00, 0x01, 0x82, 0x03, 0x84, 0x05, 0x86, 0x07, 0xF8};
    static_assert(le16(b + 1) == 0x8201);
    EXPECT_EQ(le16(b + 1), 0x8201u);
    EXPECT_EQ(le32(b + 1), 0x84038201u);
    EXPECT_EQ(le64(b + 1), 0xF807860584038201u);
    EXPECT_EQ(le16(b + 7), 0xF807u);
}
