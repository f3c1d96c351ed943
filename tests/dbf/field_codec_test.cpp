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
