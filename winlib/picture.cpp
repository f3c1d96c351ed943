#include "winlib/picture.h"

#include "runtime/number_text.h"

namespace winlib {

std::optional<NumberPicture> number_picture(std::string_view picture) {
    if (!picture.empty() && picture.front() == '@') {
        const std::size_t blank = picture.find(' ');
        picture = blank == std::string_view::npos ? std::string_view() : picture.substr(blank + 1);
    }
    NumberPicture places;
    bool after_point = false;
    for (char c : picture) {
        if (c == '.') after_point = true;
        if (c != '9' && c != '#') continue;
        ++(after_point ? places.decimals : places.positions);
    }
    if (places.positions == 0 && places.decimals == 0) return std::nullopt;
    return places;
}

bool upper_case_picture(std::string_view picture) {
    return picture.find("@!") != std::string_view::npos;
}

bool number_overflows(double value, std::string_view picture) {
    const auto places = number_picture(picture);
    return places &&
           runtime::grouped_number_text(value, places->positions, places->decimals).front() == '*';
}

std::string field_number_text(double value, std::string_view picture) {
    const auto places = number_picture(picture);
    if (!places || number_overflows(value, picture)) return runtime::number_text(value);
    const std::string field =
        runtime::grouped_number_text(value, places->positions, places->decimals);
    return field.substr(field.find_first_not_of(' '));
}

double field_number_value(std::string_view text) {
    std::string plain;
    for (char c : text) {
        if (c == ' ' || c == '.') continue;
        plain += c == ',' ? '.' : c;
    }
    return runtime::leading_number(plain);
}

}  // namespace winlib
