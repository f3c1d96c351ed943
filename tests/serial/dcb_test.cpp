#include "serial/dcb.h"

#include <gtest/gtest.h>

#include "serial/port.h"

namespace serial {
namespace {

TEST(BuildCommDcb, StoresTheRecordOrAnEmptyText) {
    struct Case {
        const char* definition;
        std::uint32_t baud;
        int byte_size, parity, stop_bits;
    } good[] = {
        {"57600,N,8,1", 57600, 8, parity::kNone, stop_bits::kOne},
        {"baud=57600 parity=N data=8 stop=1", 57600, 8, parity::kNone, stop_bits::kOne},
        {"COM1:9600,e,7,2", 9600, 7, parity::kEven, stop_bits::kTwo},
        {"96,O,8,1", 9600, 8, parity::kOdd, stop_bits::kOne},
        {"19,M,5,1.5", 19200, 5, parity::kMark, stop_bits::kOneAndHalf},
        {"1200,s,6,1,x", 1200, 6, parity::kSpace, stop_bits::kOne},
    };
    for (const Case& c : good) {
        std::string dcb = "old";
        ASSERT_TRUE(BUILDCOMMDCB(c.definition, dcb)) << c.definition;
        ASSERT_EQ(dcb.size(), 28u) << c.definition;
        Dcb d = *from_bytes(dcb);
        EXPECT_EQ(d.baud_rate, c.baud) << c.definition;
        EXPECT_EQ(d.byte_size, c.byte_size) << c.definition;
        EXPECT_EQ(d.parity, c.parity) << c.definition;
        EXPECT_EQ(d.stop_bits, c.stop_bits) << c.definition;
        EXPECT_EQ(static_cast<unsigned char>(dcb[0]), 28) << "DCBlength";
        // What a definition leaves unset is what a real port reports: a real driver
        // refuses equal XON and XOFF characters, and limits beyond its input queue.
        EXPECT_EQ(d.xon_char, 0x11) << c.definition;
        EXPECT_EQ(d.xoff_char, 0x13) << c.definition;
        EXPECT_GT(d.xon_lim, 0) << c.definition;
        EXPECT_LE(d.xon_lim + d.xoff_lim, kDefaultInQueue) << c.definition;
    }
    std::string unchanged;
    EXPECT_TRUE(BUILDCOMMDCB("", unchanged)) << "the platform's parser accepts it";
    EXPECT_EQ(unchanged.size(), 28u);
    for (const char* bad : {"57600", "57600,Q,8,1", "57600,N,9,1", "57600,N,8,3", "57600,N,8,1,z",
                            "baud=fast", "speed=57600", "57600;N;8;1"}) {
        std::string dcb = "old";
        EXPECT_FALSE(BUILDCOMMDCB(bad, dcb)) << bad;
        EXPECT_EQ(dcb, "") << bad;
    }
}

TEST(BuildCommDcb, FlowSuffixesOfTheShortForm) {
    struct Case {
        const char* definition;
        bool out_x, in_x, cts, dsr;
        int dtr_control, rts_control;
    } cases[] = {
        {"57600,N,8,1", false, false, false, false, dtr::kEnable, rts::kEnable},
        {"57600,N,8,1,x", true, true, false, false, dtr::kEnable, rts::kEnable},
        {"57600,N,8,1,p", false, false, true, true, dtr::kHandshake, rts::kHandshake},
    };
    for (const Case& c : cases) {
        std::string dcb;
        ASSERT_TRUE(BUILDCOMMDCB(c.definition, dcb));
        Dcb d = *from_bytes(dcb);
        EXPECT_EQ(d.out_x, c.out_x) << c.definition;
        EXPECT_EQ(d.in_x, c.in_x) << c.definition;
        EXPECT_EQ(d.outx_cts_flow, c.cts) << c.definition;
        EXPECT_EQ(d.outx_dsr_flow, c.dsr) << c.definition;
        EXPECT_EQ(d.dtr_control, c.dtr_control) << c.definition;
        EXPECT_EQ(d.rts_control, c.rts_control) << c.definition;
    }
}

TEST(Dcb, BytesRoundTripAtTheirOffsets) {
    Dcb d;
    d.baud_rate = 0x01020304;
    d.parity_check = d.out_x = true;
    d.dtr_control = dtr::kHandshake;
    d.rts_control = rts::kToggle;
    d.xon_lim = 0x1122;
    d.xoff_lim = 0x3344;
    d.byte_size = 8;
    d.parity = parity::kEven;
    d.stop_bits = stop_bits::kTwo;
    d.xon_char = 0x11;
    d.xoff_char = 0x13;
    d.evt_char = 0x7E;
    std::string b = to_bytes(d);
    ASSERT_EQ(b.size(), kDcbSize);
    const unsigned char want[28] = {28, 0,    0,    0, 4,    3,    2,    1,    0x23, 0x31,
                                    0,  0,    0,    0, 0x22, 0x11, 0x44, 0x33, 8,    2,
                                    2,  0x11, 0x13, 0, 0,    0x7E, 0,    0};
    EXPECT_EQ(b, std::string(reinterpret_cast<const char*>(want), 28));
    EXPECT_EQ(from_bytes(b), d);
    EXPECT_FALSE(from_bytes(b.substr(1)));
}

}  // namespace
}  // namespace serial
