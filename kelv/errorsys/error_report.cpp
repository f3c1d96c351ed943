// The error report by e-mail: a mailto address for the desktop's mail program.
#include <cstdio>
#include <string>

#include "kelv/errorsys/errorsys.h"

namespace kelv {
namespace {

// Percent-encodes what would cut the body short or change the address: "%" itself
// (first, so that no code made here is read twice), "&" (the next field), "#" (the
// fragment), "?" and control bytes. A ";" is a line break of the description.
std::string body_text(const std::string& text, bool semicolon_breaks) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == ';' && semicolon_breaks) {
            out += "%0d%0a";
        } else if (c == '%' || c == '&' || c == '#' || c == '?' || byte < 0x20 || byte == 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", byte);
            out += code;
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string error_report_address(const std::string& description,
                                 const std::string& program_file) {
    return "mailto:?subject=Rapporto di errore&body=Applicazione: " +
           body_text(program_file, false) + "%0d%0a%0d%0a" + body_text(description, true);
}

}  // namespace kelv
