#include "velkan/tap_block.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(TapBlock, DataBlockLengthWrapsAtSixteenBits) {
    struct Case {
        unsigned n;
        std::string bytes;
    } cases[] = {
        {0, std::string("\x02\x00", 2)},
        {2, std::string("\x04\x00", 2)},
        {254, std::string("\x00\x01", 2)},
        {65533, std::string("\xFF\xFF", 2)},
        {65534, std::string("\x00\x00", 2)},
        {65535, std::string("\x01\x00", 2)},
    };
    for (const Case& c : cases) EXPECT_EQ(data_block_length(c.n), c.bytes) << c.n;
}

TEST(TapBlock, CheckBytes) {
    EXPECT_EQ(xor_of("ABC       "), 0x60);   // a header whose fields never came
    EXPECT_EQ(xor_of("\x12\x34", 0xFF), 0xD9);
    EXPECT_EQ(xor_of("", 0xFF), 0xFF);
    EXPECT_EQ(xor_of(std::string("\x03" "ABC       " "\x02\x00\x00\x80\x00\x00", 17)), 0xE1);
}

}  // namespace
}  // namespace velkan
