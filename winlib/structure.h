// A structure of the windowing class library (TStruct): a byte buffer that starts empty,
// with members appended in order, each with a name, a kind and a length, laid out back to
// back from offset 0 and filled with zero bytes. Members are read and written by name,
// letter case ignored; the whole buffer can be handed to the platform as it is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/value.h"

namespace winlib {

class TStruct {
public:
    enum class Kind {
        kNumber,  // a 32-bit little-endian unsigned number (length 4)
        kBytes,   // raw bytes, read and written as they are
        kText,    // text ended by a zero byte inside the member
    };

    // Appends a member after the last one, its bytes zero.
    void add_member(std::string name, Kind kind, std::size_t length);
    // Lengthens the buffer with zero bytes to at least this size (room the platform needs
    // beyond the members, such as alignment).
    void pad_to(std::size_t size);

    // The member's value (a number or a text); nothing for a name that is not a member.
    runtime::Value get(std::string_view name) const;
    // Writes the member: a number as 32 bits, a text cut to the member (a text member
    // keeps room for its zero byte) and filled up with zero bytes. False for a name that
    // is not a member or a value of the wrong kind.
    bool set(std::string_view name, const runtime::Value& value);
    std::optional<std::size_t> offset_of(std::string_view name) const;

    std::string& buffer() { return buffer_; }
    const std::string& buffer() const { return buffer_; }

private:
    struct Member {
        std::string name;
        Kind kind;
        std::size_t offset, length;
    };
    const Member* find(std::string_view name) const;

    std::vector<Member> members_;
    std::string buffer_;
};

}  // namespace winlib
