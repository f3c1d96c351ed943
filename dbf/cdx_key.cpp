#include "dbf/cdx_key.h"

#include <bit>
#include <cstdint>

#include "dbf/cdx_layout.h"

namespace dbf {

std::optional<KeyType> key_type_of(const runtime::Value& value, std::size_t key_length) {
    if (value.is_text()) return KeyType::kCharacter;
    if (value.is_number()) return key_length == 4 ? KeyType::kInteger : KeyType::kNumeric;
    if (value.is_datetime()) return KeyType::kDateTime;
    if (value.is_date()) return KeyType::kDate;
    if (value.is_logical()) return KeyType::kLogical;
    return std::nullopt;
}

std::size_t key_length_of(KeyType type, const runtime::Value& value) {
    switch (type) {
        case KeyType::kCharacter:
            return std::min(value.text().size(), cdx::kMaxKeyLength);
        case KeyType::kLogical:
            return 1;
        case KeyType::kInteger:
            return 4;
        default:
            return 8;
    }
}

char key_pad(KeyType type) { return type == KeyType::kCharacter ? ' ' : '\0'; }

std::string encode_number_key(double value) {
    if (value == 0) value = 0;  // -0 keys as 0
    auto bits = std::bit_cast<std::uint64_t>(value);
    bits = (bits & 0x8000000000000000ULL) ? ~bits : bits | 0x8000000000000000ULL;
    std::string key(8, '\0');
    for (int i = 0; i < 8; ++i) key[i] = static_cast<char>(bits >> (56 - 8 * i));
    return key;
}

double decode_number_key(std::string_view key) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8 && i < key.size(); ++i)
        bits = (bits << 8) | static_cast<unsigned char>(key[i]);
    bits = (bits & 0x8000000000000000ULL) ? bits & ~0x8000000000000000ULL : ~bits;
    return std::bit_cast<double>(bits);
}

namespace {

double day_and_fraction(const runtime::DateTime& t) {
    return t.date.julian() + t.milliseconds / 86'400'000.0;
}

std::string encode_integer_key(double value) {
    auto bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) ^ 0x80000000u;
    std::string key(4, '\0');
    for (int i = 0; i < 4; ++i) key[i] = static_cast<char>(bits >> (24 - 8 * i));
    return key;
}

double decode_integer_key(std::string_view key) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4 && i < key.size(); ++i)
        bits = (bits << 8) | static_cast<unsigned char>(key[i]);
    return static_cast<std::int32_t>(bits ^ 0x80000000u);
}

}  // namespace

std::optional<std::string> encode_key(const runtime::Value& value, KeyType type,
                                      std::size_t length) {
    std::string key;
    switch (type) {
        case KeyType::kCharacter:
            if (!value.is_text()) return std::nullopt;
            key = value.text();
            break;
        case KeyType::kNumeric:
            if (!value.is_number()) return std::nullopt;
            key = encode_number_key(value.number());
            break;
        case KeyType::kDate:
            if (!value.is_date()) return std::nullopt;
            key = encode_number_key(value.date().julian());
            break;
        case KeyType::kDateTime:
            if (!value.is_datetime()) return std::nullopt;
            key = encode_number_key(day_and_fraction(value.datetime()));
            break;
        case KeyType::kInteger:
            if (!value.is_number()) return std::nullopt;
            key = encode_integer_key(value.number());
            break;
        case KeyType::kLogical:
            if (!value.is_logical()) return std::nullopt;
            key.assign(1, value.logical() ? 'T' : 'F');
            break;
    }
    key.resize(length, key_pad(type));
    return key;
}

std::optional<std::string> seek_bytes(const runtime::Value& value, KeyType type,
                                      std::size_t length) {
    if (type == KeyType::kCharacter && value.is_text())
        return value.text().substr(0, std::min(value.text().size(), length));
    return encode_key(value, type, length);
}

runtime::Value decode_key(std::string_view key, KeyType type) {
    switch (type) {
        case KeyType::kCharacter:
            return std::string(key);
        case KeyType::kNumeric:
            return decode_number_key(key);
        case KeyType::kDate:
            return runtime::Date::from_julian(static_cast<std::int32_t>(decode_number_key(key)));
        case KeyType::kLogical:
            return !key.empty() && key[0] == 'T';
        case KeyType::kInteger:
            return decode_integer_key(key);
        case KeyType::kDateTime: {
            double v = decode_number_key(key);
            auto day = static_cast<std::int32_t>(v);
            auto ms = static_cast<std::int32_t>((v - day) * 86'400'000.0 + 0.5);
            return runtime::DateTime{runtime::Date::from_julian(day), ms};
        }
    }
    return runtime::Value();
}

}  // namespace dbf
