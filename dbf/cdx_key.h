// The bytes of an index key for a value, as the compound index keeps them (cdx_layout.h):
//
// | type | from a value of kind | bytes                                                    |
// |------|----------------------|----------------------------------------------------------|
// | C    | text                 | the text, padded with blanks (cut) to the key length     |
// | N    | number               | 8-byte big-endian double, sign bit set when not negative, |
// |      |                      | every bit inverted when negative: bytes order as numbers |
// | D    | date                 | the Julian day as N; the empty date is day 0             |
// | L    | logical              | "T" or "F"                                               |
// | T    | date-time            | the Julian day plus the fraction of the day, as N        |
// | I    | number, key length 4 | Visual FoxPro integers: 4-byte big-endian, sign bit      |
// |      |                      | flipped (read; we make N keys of numbers)                |
//
// RECNO() is a number and keys as N. Keys compare as unsigned bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/value.h"

namespace dbf {

enum class KeyType : char {
    kCharacter = 'C',
    kNumeric = 'N',
    kDate = 'D',
    kLogical = 'L',
    kDateTime = 'T',
    kInteger = 'I'
};

// The key type a value makes for a tag of this key length (0: a new tag); nothing for
// kinds that cannot be keys.
std::optional<KeyType> key_type_of(const runtime::Value& value, std::size_t key_length = 0);
// The key length a first value gives (its text's length for C, at most 240).
std::size_t key_length_of(KeyType type, const runtime::Value& value);
// The byte that pads a key's end: a blank for character keys, NUL for the others.
char key_pad(KeyType type);

// The key of a value of the tag's type, `length` bytes; nothing when the value's kind
// does not match the type.
std::optional<std::string> encode_key(const runtime::Value& value, KeyType type,
                                      std::size_t length);
// The bytes a seek looks for: a text is a prefix (not padded), other kinds a whole key.
std::optional<std::string> seek_bytes(const runtime::Value& value, KeyType type,
                                      std::size_t length);

std::string encode_number_key(double value);
double decode_number_key(std::string_view key);

// The value a key stands for, for showing it (character keys keep their padding).
runtime::Value decode_key(std::string_view key, KeyType type);

}  // namespace dbf
