// Field bytes and values, without a table: what an order's keys will be built from. Each
// written value has exact bytes and reads back as itself; a refused value leaves the bytes
// as they were.
#include "dbf/field_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace dbf_test {
namespace {

using dbf::Encoded;
using dbf::Field;
using runtime::Value;

Field field(char type, int width, int decimals = 0) { return Field{"F", type, width, decimals}; }

TEST(FieldCodec, WrittenValuesHaveExactBytesAndReadBackAsThemselves) {
    struct Case {
        Field field;
        Value value;
        std::string bytes;
    } cases[] = {
        {field('C', 5), "ab", "ab   "},
        {field('C', 3), "abcdef", "abc"},
        {field('N', 8, 2), Value::number(-3.5, 8, 2), "   -3.50"},
        {field('D', 8), *runtime::Date::from_ymd(2024, 2, 29), "20240229"},
        {field('D', 8), runtime::Date(), "        "},
        {field('L', 1), true, "T"},
        {field('L', 1), false, "F"},
    };
    for (const Case& c : cases) {
        std::string out(static_cast<std::size_t>(c.field.width), '?');
        ASSERT_EQ(dbf::encode_field(c.field, c.value, out.data()), Encoded::kDone) << c.bytes;
        EXPECT_EQ(out, c.bytes);
        // A text reads back as its bytes, padding and all.
        Value reads = c.field.type == 'C' ? Value(c.bytes) : c.value;
        EXPECT_TRUE(dbf::decode_field(c.field, out) == reads) << c.bytes;
    }
}

// Other tools declare N fields wider than ours (up to the 255 a descriptor's byte holds).
TEST(FieldCodec, WideNumberFieldsAreWrittenWholeOrRefused) {
    struct Case {
        int width;
        int decimals;
        double value;
        std::string digits;  // right-aligned in the width; empty: too wide
    } cases[] = {
        {65, 2, -3.5, "-3.50"},
        {200, 0, 1267650600228229401496703205376.0, "1267650600228229401496703205376"},
        {80, 40, 0.5, "0.5" + std::string(39, '0')},
        {255, 250, 1.0, "1." + std::string(250, '0')},
        {255, 0, -1e15, "-1000000000000000"},
        {70, 0, 1e80, ""},
        {255, 254, 10.0, ""},
    };
    for (const Case& c : cases) {
        Field f = field('N', c.width, c.decimals);
        std::string out(static_cast<std::size_t>(c.width), '?');
        Encoded got = dbf::encode_field(f, Value::number(c.value, c.width, c.decimals), out.data());
        if (c.digits.empty()) {
            EXPECT_EQ(got, Encoded::kTooWide) << c.width;
            EXPECT_EQ(out, std::string(out.size(), '?')) << c.width;
            continue;
        }
        ASSERT_EQ(got, Encoded::kDone) << c.width;
        EXPECT_EQ(out, std::string(out.size() - c.digits.size(), ' ') + c.digits) << c.width;
        EXPECT_EQ(dbf::decode_field(f, out).number(), c.value) << c.width;
    }
}

TEST(FieldCodec, ARefusedValueLeavesTheBytesAsTheyWere) {
    struct Case {
        Field field;
        Value value;
        Encoded why;
    } cases[] = {
        {field('C', 4), Value::number(1, 4, 0), Encoded::kWrongType},
        {field('N', 4), "12", Encoded::kWrongType},
        {field('N', 4, 1), Value::number(123.4, 6, 1), Encoded::kTooWide},
        {field('D', 8), true, Encoded::kWrongType},
        {field('L', 1), "T", Encoded::kWrongType},
        {field('I', 4), Value::number(1, 4, 0), Encoded::kReadOnly},
        {field('F', 6, 2), Value::number(1, 6, 2), Encoded::kReadOnly},
    };
    for (const Case& c : cases) {
        std::string out(static_cast<std::size_t>(c.field.width), '?');
        EXPECT_EQ(dbf::encode_field(c.field, c.value, out.data()), c.why) << c.field.type;
        EXPECT_EQ(out, std::string(out.size(), '?')) << c.field.type;
    }
}

TEST(FieldCodec, MemoBlockNumbers) {
    struct Case {
        Field field;
        std::string bytes;
        std::uint32_t block;
    } cases[] = {
        {field('M', 10), "          ", 0},
        {field('M', 10), "        17", 17},
        {field('M', 10), "   12x4   ", dbf::kBadMemoBlock},
        {field('M', 4), std::string("\x11\x01\0\0", 4), 0x111},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dbf::decode_memo_block(c.field, c.bytes.data()), c.block) << c.bytes;
    std::string out(10, '?');
    dbf::encode_memo_block(17, out.data());
    EXPECT_EQ(out, "        17");
    dbf::encode_memo_block(0, out.data());
    EXPECT_EQ(out, "          ");
}

}  // namespace
}  // namespace dbf_test
