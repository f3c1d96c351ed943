#include "dbf/header.h"

#include <cctype>

#include "runtime/text1252.h"

namespace dbf {

std::uint32_t read_le32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}
std::uint16_t read_le16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}
void write_le32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void write_le16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
std::uint32_t read_be32(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return (static_cast<std::uint32_t>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
}
std::uint16_t read_be16(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}
void write_be32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}
void write_be16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v >> 8);
    p[1] = static_cast<char>(v & 0xFF);
}

bool Header::has_memo_field() const {
    for (const Field& f : fields)
        if (f.type == 'M') return true;
    return false;
}

namespace {

runtime::Date date_from_bytes(const char* p) {
    auto b = reinterpret_cast<const unsigned char*>(p);
    int year = b[0] < 80 ? 2000 + b[0] : 1900 + b[0];
    return runtime::Date::from_ymd(year, b[1], b[2]).value_or(runtime::Date());
}

bool valid_name(std::string_view name) {
    if (name.empty() || name.size() > kMaxFieldName) return false;
    if (!std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// The width a definition must have, with the reason when it cannot be stored.
std::string check_definition(const FieldDef& d) {
    switch (d.type) {
        case 'C':
            if (d.width < 1 || d.width > 254) return "width must be 1 to 254";
            if (d.decimals != 0) return "a character field has no decimals";
            return {};
        case 'N':
            if (d.width < 1 || d.width > 20) return "width must be 1 to 20";
            if (d.decimals < 0 || (d.decimals > 0 && d.decimals > d.width - 2))
                return "decimals must leave room for the point and one digit";
            return {};
        case 'D':
            return d.width == 8 && d.decimals == 0 ? "" : "a date field is 8 wide";
        case 'L':
            return d.width == 1 && d.decimals == 0 ? "" : "a logical field is 1 wide";
        case 'M':
            return d.width == 10 && d.decimals == 0 ? "" : "a memo field is 10 wide";
        default:
            return "type must be C, N, D, L or M";
    }
}

}  // namespace

std::uint32_t parse_count(std::string_view first_bytes) {
    return first_bytes.size() >= 8 ? read_le32(first_bytes.data() + 4) : 0;
}

std::optional<Header> parse_header(std::string_view bytes, HeaderProblem& problem) {
    if (bytes.size() < kHeaderSize + 1) {
        problem.what = "file shorter than a table header";
        return std::nullopt;
    }
    Header h;
    const char* p = bytes.data();
    h.type = static_cast<unsigned char>(p[0]);
    h.updated = date_from_bytes(p + 1);
    h.count = read_le32(p + 4);
    h.header_length = read_le16(p + 8);
    h.record_length = read_le16(p + 10);
    h.code_page = static_cast<unsigned char>(p[29]);
    if (h.header_length < kHeaderSize + kDescriptorSize + 1 || h.header_length > bytes.size()) {
        problem.what = "bad header length";
        return std::nullopt;
    }
    if (h.record_length < 2) {
        problem.what = "bad record length";
        return std::nullopt;
    }
    std::size_t offset = 1;
    std::size_t at = kHeaderSize;
    for (;
         at + kDescriptorSize <= h.header_length && static_cast<unsigned char>(p[at]) != kHeaderEnd;
         at += kDescriptorSize) {
        const char* d = p + at;
        Field f;
        std::size_t len = 0;
        while (len < kMaxFieldName + 1 && d[len] != '\0') ++len;
        f.name = runtime::upper(std::string_view(d, len));
        f.type = static_cast<char>(std::toupper(static_cast<unsigned char>(d[11])));
        f.width = static_cast<unsigned char>(d[16]);
        f.decimals = static_cast<unsigned char>(d[17]);
        f.system = h.is_vfp() && (static_cast<unsigned char>(d[18]) & 0x01) != 0;
        f.offset = offset;
        if (f.width == 0 || f.name.empty()) {
            problem.what = "bad field descriptor";
            return std::nullopt;
        }
        offset += static_cast<std::size_t>(f.width);
        h.fields.push_back(std::move(f));
    }
    // The descriptors end at the terminator (some writers leave a 0 there, or nothing at
    // all); a header length that ends inside a descriptor, at its name, would turn the rest
    // of the descriptors into record bytes.
    if (at < h.header_length && static_cast<unsigned char>(p[at]) != kHeaderEnd && p[at] != '\0') {
        problem.what = "header length cuts the field descriptors";
        return std::nullopt;
    }
    if (h.fields.empty() || offset > h.record_length) {
        problem.what = "fields do not match the record length";
        return std::nullopt;
    }
    return h;
}

std::optional<Header> make_header(const std::vector<FieldDef>& defs, std::string& problem) {
    if (defs.empty() || defs.size() > 255) {
        problem = "a table has 1 to 255 fields";
        return std::nullopt;
    }
    Header h;
    std::size_t offset = 1;
    for (const FieldDef& d : defs) {
        std::string name = runtime::upper(d.name);
        char type = static_cast<char>(std::toupper(static_cast<unsigned char>(d.type)));
        if (!valid_name(name)) {
            problem = "field \"" + d.name + "\": bad name";
            return std::nullopt;
        }
        for (const Field& f : h.fields)
            if (f.name == name) {
                problem = "field \"" + d.name + "\": name used twice";
                return std::nullopt;
            }
        FieldDef upper_def{name, type, d.width, d.decimals};
        if (std::string why = check_definition(upper_def); !why.empty()) {
            problem = "field \"" + d.name + "\": " + why;
            return std::nullopt;
        }
        h.fields.push_back(Field{name, type, d.width, d.decimals, offset, false});
        offset += static_cast<std::size_t>(d.width);
    }
    if (offset > 65535) {
        problem = "records longer than 65535 bytes";
        return std::nullopt;
    }
    h.type = h.has_memo_field() ? kTypeFoxProMemo : kTypeDbase3;
    h.record_length = static_cast<std::uint16_t>(offset);
    h.header_length = static_cast<std::uint16_t>(kHeaderSize + kDescriptorSize * defs.size() + 1);
    return h;
}

std::string serialize_date_and_count(runtime::Date updated, std::uint32_t count) {
    std::string out(7, '\0');
    if (!updated.empty()) {
        out[0] = static_cast<char>(updated.year() - 1900);
        out[1] = static_cast<char>(updated.month());
        out[2] = static_cast<char>(updated.day());
    }
    write_le32(out.data() + 3, count);
    return out;
}

std::string serialize_header(const Header& h) {
    std::string out(h.header_length, '\0');
    out[0] = static_cast<char>(h.type);
    out.replace(1, 7, serialize_date_and_count(h.updated, h.count));
    write_le16(out.data() + 8, h.header_length);
    write_le16(out.data() + 10, h.record_length);
    out[29] = static_cast<char>(h.code_page);
    std::size_t at = kHeaderSize;
    for (const Field& f : h.fields) {
        out.replace(at, f.name.size(), f.name);
        out[at + 11] = f.type;
        out[at + 16] = static_cast<char>(f.width);
        out[at + 17] = static_cast<char>(f.decimals);
        at += kDescriptorSize;
    }
    out[at] = static_cast<char>(kHeaderEnd);
    return out;
}

}  // namespace dbf
