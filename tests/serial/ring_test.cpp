#include "serial/ring.h"

#include <gtest/gtest.h>

#include <vector>

namespace serial {
namespace {

std::vector<std::uint8_t> bytes(int count, int start) {
    std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(start + i);
    return v;
}

TEST(Ring, BatchesAcrossTheEndComeBackInOrder) {
    struct Case {
        int first;   // put and taken first, moving both indices on
        int second;  // then put: runs across slot 2047 when first + second > 2048
    } cases[] = {{2000, 100}, {2047, 2047}, {1, 2047}, {2048 - 3, 3}, {1024, 1024}};
    for (const Case& c : cases) {
        Ring ring;
        std::vector<std::uint8_t> out(4096);
        ASSERT_EQ(ring.put(bytes(c.first, 0)), c.first);
        ASSERT_EQ(ring.take(out), c.first);
        std::vector<std::uint8_t> in = bytes(c.second, 7);
        ASSERT_EQ(ring.put(in), c.second) << c.first;
        EXPECT_EQ(ring.unread(), c.second);
        out.assign(4096, 0);
        ASSERT_EQ(ring.take(out), c.second);
        EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin())) << c.first;
        EXPECT_EQ(ring.unread(), 0);
    }
}

TEST(Ring, AFullRingTakesNothingMoreAndKeepsWhatItHolds) {
    Ring ring;
    EXPECT_EQ(ring.put(bytes(1500, 0)), 1500);
    EXPECT_EQ(ring.put(bytes(1500, 1500 % 256)), Ring::kCapacity - 1500);
    EXPECT_EQ(ring.room(), 0);
    EXPECT_EQ(ring.put(bytes(10, 99)), 0);
    std::vector<std::uint8_t> out(Ring::kCapacity);
    ASSERT_EQ(ring.take(out), Ring::kCapacity);
    std::vector<std::uint8_t> want = bytes(Ring::kCapacity, 0);
    EXPECT_EQ(out, want);
}

TEST(Ring, TakeCopiesAtMostTheSpaceGiven) {
    Ring ring;
    ring.put(bytes(1500, 0));
    std::vector<std::uint8_t> out(1000);
    EXPECT_EQ(ring.take(out), 1000);
    EXPECT_EQ(out, bytes(1000, 0));
    EXPECT_EQ(ring.unread(), 500);
    std::vector<std::uint8_t> rest(600, 0xEE);
    EXPECT_EQ(ring.take(rest), 500);
    EXPECT_TRUE(std::equal(rest.begin(), rest.begin() + 500, bytes(500, 1000 % 256).begin()));
    EXPECT_EQ(rest[500], 0xEE);
}

}  // namespace
}  // namespace serial
