#include "kelv/values/mkstr.h"

#include <string>
#include <string_view>

#include "runtime/empty_value.h"
#include "runtime/number_text.h"

namespace kelv {
namespace {

std::string replace_all(std::string_view text, std::string_view what, std::string_view with) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(what, from)) != std::string::npos; from = at + what.size())
        out.append(text, from, at - from).append(with);
    return out.append(text, from);
}

std::string quoted(const std::string& text) {
    // Each double quote closes the string, adds itself between brackets and reopens it;
    // the removals then drop the empty strings this leaves at the ends and join
    // neighbouring bracketed quotes.
    std::string out = "\"" + replace_all(text, "\"", "\" + [\"] + \"") + "\"";
    out = replace_all(out, "\"\" + ", "");
    out = replace_all(out, "] + [", "");
    return replace_all(out, " + \"\"", "");
}

}  // namespace

runtime::Value MKSTR(const runtime::Value& xValue) {
    if (runtime::is_empty_value(xValue)) return "\"\"";
    if (xValue.is_text()) return quoted(xValue.text());
    // The date text is the one CTOD reads back under the date format in force.
    if (xValue.is_date()) return "CTOD( \"" + runtime::date_to_text(xValue.date()) + "\" )";
    if (xValue.is_number()) return runtime::number_text(xValue.number_info());
    return xValue;
}

}  // namespace kelv
