#include "velkan/receive_buffer.h"

#include <gtest/gtest.h>

namespace velkan {
namespace {

TEST(ReceiveBuffer, GivesBytesFirstInFirstOut) {
    ReceiveBuffer buffer;
    EXPECT_EQ(buffer.take(), "");
    buffer.append("AB");
    buffer.append(std::string("\x00" "C", 2));
    EXPECT_EQ(buffer.size(), 4u);
    EXPECT_EQ(buffer.take(), "A");
    EXPECT_EQ(buffer.take(), "B");
    EXPECT_EQ(buffer.take(), std::string(1, '\0'));
    EXPECT_EQ(buffer.take(), "C");
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(buffer.take(), "");
}

TEST(ReceiveBuffer, KeepsOrderAcrossCompaction) {
    // Interleave appends and takes well past the point where taken bytes are dropped.
    ReceiveBuffer buffer;
    unsigned next_in = 0, next_out = 0;
    for (int round = 0; round < 300; ++round) {
        std::string chunk;
        for (int i = 0; i < 1000; ++i) chunk += static_cast<char>(next_in++ % 251);
        buffer.append(chunk);
        for (int i = 0; i < 900; ++i)
            ASSERT_EQ(buffer.take(), std::string(1, static_cast<char>(next_out++ % 251)));
    }
    while (!buffer.empty())
        ASSERT_EQ(buffer.take(), std::string(1, static_cast<char>(next_out++ % 251)));
    EXPECT_EQ(next_in, next_out);
}

}  // namespace
}  // namespace velkan
