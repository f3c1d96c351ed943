#include "serial/dcb.h"

#include <array>
#include <cctype>
#include <charconv>
#include <vector>

namespace serial {

namespace {

void put16(std::string& out, std::size_t at, std::uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

std::uint32_t get(std::string_view in, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::optional<std::uint32_t> number(std::string_view s) {
    std::uint32_t v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return v;
}

bool set_parity(std::string_view s, Dcb& dcb) {
    if (s.size() != 1) return false;
    switch (std::tolower(static_cast<unsigned char>(s[0]))) {
        case 'n':
            dcb.parity = parity::kNone;
            break;
        case 'o':
            dcb.parity = parity::kOdd;
            break;
        case 'e':
            dcb.parity = parity::kEven;
            break;
        case 'm':
            dcb.parity = parity::kMark;
            break;
        case 's':
            dcb.parity = parity::kSpace;
            break;
        default:
            return false;
    }
    return true;  // parity checking (fParity) stays as it was, as the platform leaves it
}

bool set_data(std::string_view s, Dcb& dcb) {
    auto n = number(s);
    if (!n || *n < 5 || *n > 8) return false;
    dcb.byte_size = static_cast<std::uint8_t>(*n);
    return true;
}

bool set_stop(std::string_view s, Dcb& dcb) {
    if (s == "1") {
        dcb.stop_bits = stop_bits::kOne;
    } else if (s == "1.5") {
        dcb.stop_bits = stop_bits::kOneAndHalf;
    } else if (s == "2") {
        dcb.stop_bits = stop_bits::kTwo;
    } else {
        return false;
    }
    return true;
}

// The old form's baud field: the MODE command's two-digit abbreviations, else the rate.
bool set_old_baud(std::string_view s, Dcb& dcb) {
    auto n = number(s);
    if (!n) return false;
    static constexpr std::array<std::array<std::uint32_t, 2>, 9> kShort = {{{11, 110},
                                                                            {15, 150},
                                                                            {30, 300},
                                                                            {60, 600},
                                                                            {12, 1200},
                                                                            {24, 2400},
                                                                            {48, 4800},
                                                                            {96, 9600},
                                                                            {19, 19200}}};
    dcb.baud_rate = *n;
    for (const auto& [abbreviation, rate] : kShort) {
        if (*n == abbreviation) dcb.baud_rate = rate;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    for (;;) {
        std::size_t at = s.find(sep);
        parts.push_back(trim(s.substr(0, at)));
        if (at == std::string_view::npos) return parts;
        s.remove_prefix(at + 1);
    }
}

bool parse_old_form(std::string_view def, Dcb& dcb) {
    std::vector<std::string_view> fields = split(def, ',');
    if (fields.size() < 4 || fields.size() > 5) return false;
    if (!set_old_baud(fields[0], dcb) || !set_parity(fields[1], dcb) || !set_data(fields[2], dcb) ||
        !set_stop(fields[3], dcb)) {
        return false;
    }
    std::string flow = fields.size() == 5 ? lower(fields[4]) : "";
    if (flow.empty()) {
        dcb.out_x = dcb.in_x = false;
        dcb.outx_cts_flow = dcb.outx_dsr_flow = false;
        dcb.dtr_control = dtr::kEnable;
        dcb.rts_control = rts::kEnable;
    } else if (flow == "x") {
        dcb.out_x = dcb.in_x = true;
        dcb.outx_cts_flow = dcb.outx_dsr_flow = false;
        dcb.dtr_control = dtr::kEnable;
        dcb.rts_control = rts::kEnable;
    } else if (flow == "p") {
        dcb.out_x = dcb.in_x = false;
        dcb.outx_cts_flow = dcb.outx_dsr_flow = true;
        dcb.dtr_control = dtr::kHandshake;
        dcb.rts_control = rts::kHandshake;
    } else {
        return false;
    }
    return true;
}

std::optional<bool> on_off(std::string_view v) {
    if (v == "on") return true;
    if (v == "off") return false;
    return std::nullopt;
}

bool parse_new_form(std::string_view def, Dcb& dcb) {
    bool any = false;
    for (std::string_view item : split(def, ' ')) {
        if (item.empty()) continue;
        std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) return false;
        std::string key = lower(trim(item.substr(0, eq)));
        std::string value = lower(trim(item.substr(eq + 1)));
        std::optional<bool> flag = on_off(value);
        if (key == "baud") {
            auto n = number(value);
            if (!n) return false;
            dcb.baud_rate = *n;
        } else if (key == "parity") {
            if (!set_parity(value, dcb)) return false;
        } else if (key == "data") {
            if (!set_data(value, dcb)) return false;
        } else if (key == "stop") {
            if (!set_stop(value, dcb)) return false;
        } else if (key == "to") {
            if (!flag) return false;  // a time-out setting: not part of this record
        } else if (key == "xon") {
            if (!flag) return false;
            dcb.out_x = dcb.in_x = *flag;
        } else if (key == "odsr") {
            if (!flag) return false;
            dcb.outx_dsr_flow = *flag;
        } else if (key == "octs") {
            if (!flag) return false;
            dcb.outx_cts_flow = *flag;
        } else if (key == "idsr") {
            if (!flag) return false;
            dcb.dsr_sensitivity = *flag;
        } else if (key == "dtr") {
            if (value == "hs") {
                dcb.dtr_control = dtr::kHandshake;
            } else if (flag) {
                dcb.dtr_control = *flag ? dtr::kEnable : dtr::kDisable;
            } else {
                return false;
            }
        } else if (key == "rts") {
            if (value == "hs") {
                dcb.rts_control = rts::kHandshake;
            } else if (value == "tg") {
                dcb.rts_control = rts::kToggle;
            } else if (flag) {
                dcb.rts_control = *flag ? rts::kEnable : rts::kDisable;
            } else {
                return false;
            }
        } else {
            return false;
        }
        any = true;
    }
    return any;
}

// Drops an optional leading "COMn:" (or "COMn" before the first comma).
std::string_view without_port_name(std::string_view def) {
    std::string head = lower(def.substr(0, 3));
    if (head != "com") return def;
    std::size_t i = 3;
    while (i < def.size() && std::isdigit(static_cast<unsigned char>(def[i]))) ++i;
    if (i == 3) return def;
    if (i < def.size() && def[i] == ':') ++i;
    return trim(def.substr(i));
}

}  // namespace

std::string to_bytes(const Dcb& d) {
    std::string out(kDcbSize, '\0');
    put32(out, 0, kDcbSize);
    put32(out, 4, d.baud_rate);
    std::uint32_t flags = 0;
    flags |= d.binary ? 1u << 0 : 0;
    flags |= d.parity_check ? 1u << 1 : 0;
    flags |= d.outx_cts_flow ? 1u << 2 : 0;
    flags |= d.outx_dsr_flow ? 1u << 3 : 0;
    flags |= static_cast<std::uint32_t>(d.dtr_control & 3) << 4;
    flags |= d.dsr_sensitivity ? 1u << 6 : 0;
    flags |= d.tx_continue_on_xoff ? 1u << 7 : 0;
    flags |= d.out_x ? 1u << 8 : 0;
    flags |= d.in_x ? 1u << 9 : 0;
    flags |= d.error_char_on ? 1u << 10 : 0;
    flags |= d.null_strip ? 1u << 11 : 0;
    flags |= static_cast<std::uint32_t>(d.rts_control & 3) << 12;
    flags |= d.abort_on_error ? 1u << 14 : 0;
    put32(out, 8, flags);
    put16(out, 14, d.xon_lim);
    put16(out, 16, d.xoff_lim);
    const std::uint8_t tail[] = {d.byte_size, d.parity,     d.stop_bits, d.xon_char,
                                 d.xoff_char, d.error_char, d.eof_char,  d.evt_char};
    for (std::size_t i = 0; i < sizeof tail; ++i) out[18 + i] = static_cast<char>(tail[i]);
    return out;
}

std::optional<Dcb> from_bytes(std::string_view b) {
    if (b.size() != kDcbSize) return std::nullopt;
    Dcb d;
    d.baud_rate = get(b, 4, 4);
    std::uint32_t flags = get(b, 8, 4);
    auto bit = [flags](int n) { return ((flags >> n) & 1u) != 0; };
    d.binary = bit(0);
    d.parity_check = bit(1);
    d.outx_cts_flow = bit(2);
    d.outx_dsr_flow = bit(3);
    d.dtr_control = static_cast<int>((flags >> 4) & 3);
    d.dsr_sensitivity = bit(6);
    d.tx_continue_on_xoff = bit(7);
    d.out_x = bit(8);
    d.in_x = bit(9);
    d.error_char_on = bit(10);
    d.null_strip = bit(11);
    d.rts_control = static_cast<int>((flags >> 12) & 3);
    d.abort_on_error = bit(14);
    d.xon_lim = static_cast<std::uint16_t>(get(b, 14, 2));
    d.xoff_lim = static_cast<std::uint16_t>(get(b, 16, 2));
    d.byte_size = static_cast<std::uint8_t>(b[18]);
    d.parity = static_cast<std::uint8_t>(b[19]);
    d.stop_bits = static_cast<std::uint8_t>(b[20]);
    d.xon_char = static_cast<std::uint8_t>(b[21]);
    d.xoff_char = static_cast<std::uint8_t>(b[22]);
    d.error_char = static_cast<std::uint8_t>(b[23]);
    d.eof_char = static_cast<std::uint8_t>(b[24]);
    d.evt_char = static_cast<std::uint8_t>(b[25]);
    return d;
}

bool parse_mode_string(std::string_view definition, Dcb& dcb) {
    std::string_view def = without_port_name(trim(definition));
    if (def.empty()) return true;  // the platform's parser accepts it and changes nothing
    if (def.find('=') != std::string_view::npos) return parse_new_form(def, dcb);
    return parse_old_form(def, dcb);
}

}  // namespace serial
