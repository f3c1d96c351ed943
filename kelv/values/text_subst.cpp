#include "kelv/values/text_subst.h"

#include <array>

namespace kelv {
namespace {

struct Entity {
    char letter;
    const char* entity;
};
constexpr std::array<Entity, 8> kEntities = {{{'&', "&#38;"},
                                              {'\xE0', "&#224;"},
                                              {'\xE8', "&#232;"},
                                              {'\xE9', "&#233;"},
                                              {'\xEC', "&#236;"},
                                              {'\xF2', "&#242;"},
                                              {'\xF9', "&#249;"},
                                              {'\xB0', "&#176;"}}};

struct OemLetter {
    char oem, windows;
};
constexpr std::array<OemLetter, 6> kOemLetters = {{{'\x85', '\xE0'},
                                                   {'\x8A', '\xE8'},
                                                   {'\x82', '\xE9'},
                                                   {'\x8D', '\xEC'},
                                                   {'\x95', '\xF2'},
                                                   {'\x97', '\xF9'}}};

}  // namespace

std::string HTMLENCODE(std::string_view cText) {
    // No entity holds one of the encoded letters, so one pass equals the ordered passes.
    std::string out;
    for (char c : cText) {
        const char* entity = nullptr;
        for (const Entity& e : kEntities)
            if (e.letter == c) entity = e.entity;
        if (entity != nullptr) {
            out += entity;
        } else {
            out += c;
        }
    }
    return out;
}

std::string O2A(std::string_view cText) {
    // No target byte is a source byte, so one pass equals the ordered passes.
    std::string out(cText);
    for (char& c : out)
        for (const OemLetter& l : kOemLetters)
            if (c == l.oem) c = l.windows;
    return out;
}

}  // namespace kelv
