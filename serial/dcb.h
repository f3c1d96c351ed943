// The settings record: the platform's 28-byte device-control block (DCB), carried in the
// application as a byte string with the same bytes on every platform, and the parser of
// the platform's mode-string syntax that fills it.
//
// Layout (all fields little-endian):
//
// | offset | size | field            | meaning                                            |
// |--------|------|------------------|----------------------------------------------------|
// | 0      | 4    | DCBlength        | 28                                                 |
// | 4      | 4    | BaudRate         | bits per second                                    |
// | 8      | 4    | flags            | bit 0 binary, 1 parity check, 2 CTS output flow,   |
// |        |      |                  | 3 DSR output flow, 4-5 DTR control, 6 DSR          |
// |        |      |                  | sensitivity, 7 send on XOFF, 8 XON/XOFF output,    |
// |        |      |                  | 9 XON/XOFF input, 10 error char, 11 null strip,    |
// |        |      |                  | 12-13 RTS control, 14 abort on error               |
// | 12     | 2    | wReserved        | 0                                                  |
// | 14     | 2    | XonLim           | bytes in the input queue before XON is sent        |
// | 16     | 2    | XoffLim          | free bytes in the input queue before XOFF is sent  |
// | 18     | 1    | ByteSize         | data bits, 5 to 8                                  |
// | 19     | 1    | Parity           | 0 none, 1 odd, 2 even, 3 mark, 4 space             |
// | 20     | 1    | StopBits         | 0 one, 1 one and a half, 2 two                     |
// | 21-25  | 1    | Xon, Xoff, Error, Eof, Evt characters                                 |
// | 26     | 2    | wReserved1       | 0                                                  |
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace serial {

constexpr std::size_t kDcbSize = 28;

namespace dtr {
constexpr int kDisable = 0, kEnable = 1, kHandshake = 2;
}
namespace rts {
constexpr int kDisable = 0, kEnable = 1, kHandshake = 2, kToggle = 3;
}
namespace parity {
constexpr int kNone = 0, kOdd = 1, kEven = 2, kMark = 3, kSpace = 4;
}
namespace stop_bits {
constexpr int kOne = 0, kOneAndHalf = 1, kTwo = 2;
}

struct Dcb {
    std::uint32_t baud_rate = 0;
    bool binary = true;  // the platform supports binary mode only
    bool parity_check = false;
    bool outx_cts_flow = false;
    bool outx_dsr_flow = false;
    int dtr_control = dtr::kDisable;
    bool dsr_sensitivity = false;
    bool tx_continue_on_xoff = false;
    bool out_x = false;
    bool in_x = false;
    bool error_char_on = false;
    bool null_strip = false;
    int rts_control = rts::kDisable;
    bool abort_on_error = false;
    std::uint16_t xon_lim = 0;
    std::uint16_t xoff_lim = 0;
    std::uint8_t byte_size = 0;
    std::uint8_t parity = parity::kNone;
    std::uint8_t stop_bits = stop_bits::kOne;
    std::uint8_t xon_char = 0;
    std::uint8_t xoff_char = 0;
    std::uint8_t error_char = 0;
    std::uint8_t eof_char = 0;
    std::uint8_t evt_char = 0;

    friend bool operator==(const Dcb&, const Dcb&) = default;
};

// Where BUILDCOMMDCB starts, before the definition's fields: what a real port reports for
// the fields a definition does not set. Windows documents that SetCommState refuses a
// record whose XON and XOFF characters are equal, as both are in an all-zero block (Wine
// takes it), so the characters are the usual DC1 and DC3; the limits are a quarter of the
// default input queue (1024 bytes), within which a port's driver takes them.
constexpr Dcb usual_dcb() {
    Dcb d;
    d.xon_lim = 256;
    d.xoff_lim = 256;
    d.xon_char = 0x11;
    d.xoff_char = 0x13;
    return d;
}

std::string to_bytes(const Dcb& dcb);
// Nothing unless the text is exactly 28 bytes long.
std::optional<Dcb> from_bytes(std::string_view bytes);

// Fills the fields a mode string names, leaving the others as they are, the way the
// platform's parser does. Two forms are understood:
//   "57600,N,8,1[,X|P]"  (optionally after "COMn:"): baud (the two-digit abbreviations
//                        11 15 30 60 12 24 48 96 19 stand for 110 ... 19200), parity
//                        N/O/E/M/S, data bits, stop bits 1, 1.5 or 2, and the flow
//                        suffix: X for XON/XOFF, P for hardware, none for no flow;
//   "baud=57600 parity=N data=8 stop=1 [to= xon= odsr= octs= dtr= rts= idsr=]".
// An empty definition changes nothing and is accepted, as the platform's parser does.
// False for anything else, with the record unspecified.
bool parse_mode_string(std::string_view definition, Dcb& dcb);

}  // namespace serial
