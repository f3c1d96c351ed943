#include "winlib/structure.h"

#include <algorithm>
#include <cstdint>

#include "runtime/text1252.h"

namespace winlib {

void TStruct::add_member(std::string name, Kind kind, std::size_t length) {
    members_.push_back({std::move(name), kind, buffer_.size(), length});
    buffer_.append(length, '\0');
}

void TStruct::pad_to(std::size_t size) {
    if (buffer_.size() < size) buffer_.resize(size, '\0');
}

const TStruct::Member* TStruct::find(std::string_view name) const {
    for (const Member& m : members_)
        if (m.name.size() == name.size() && runtime::equals_ignore_case(m.name, name)) return &m;
    return nullptr;
}

std::optional<std::size_t> TStruct::offset_of(std::string_view name) const {
    const Member* m = find(name);
    return m ? std::optional<std::size_t>(m->offset) : std::nullopt;
}

runtime::Value TStruct::get(std::string_view name) const {
    const Member* m = find(name);
    if (!m) return {};
    std::string_view bytes = std::string_view(buffer_).substr(m->offset, m->length);
    switch (m->kind) {
        case Kind::kNumber: {
            std::uint32_t n = 0;
            for (std::size_t i = bytes.size(); i-- > 0;)
                n = n << 8 | static_cast<unsigned char>(bytes[i]);
            return static_cast<double>(n);
        }
        case Kind::kText:
            return std::string(bytes.substr(0, bytes.find('\0')));
        case Kind::kBytes:
            break;
    }
    return std::string(bytes);
}

bool TStruct::set(std::string_view name, const runtime::Value& value) {
    const Member* m = find(name);
    if (!m) return false;
    char* at = buffer_.data() + m->offset;
    if (m->kind == Kind::kNumber) {
        if (!value.is_number()) return false;
        auto n = static_cast<std::uint32_t>(static_cast<std::int64_t>(value.number()));
        for (std::size_t i = 0; i < m->length; ++i, n >>= 8) at[i] = static_cast<char>(n & 0xFF);
        return true;
    }
    if (!value.is_text()) return false;
    std::size_t room = m->kind == Kind::kText && m->length > 0 ? m->length - 1 : m->length;
    std::string_view text = std::string_view(value.text()).substr(0, room);
    std::fill(at, at + m->length, '\0');
    std::copy(text.begin(), text.end(), at);
    return true;
}

}  // namespace winlib
