#include "runtime/expr_functions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "runtime/date.h"
#include "runtime/empty_value.h"
#include "runtime/expr.h"
#include "runtime/number_text.h"
#include "runtime/text1252.h"

namespace runtime {
namespace {

using Args = std::vector<Value>;

std::map<std::string, Callback>& procedures() {
    static std::map<std::string, Callback> registry;
    return registry;
}

[[noreturn]] void bad_argument(std::string_view function) {
    throw expr_failure(gencode::kArgument, base_subcode::kArgument, "Argument error",
                       std::string(function));
}

const Value& arg(const Args& a, std::size_t i) {
    static const Value nothing;
    return i < a.size() ? a[i] : nothing;
}

const std::string& text_arg(const Args& a, std::size_t i, std::string_view fn) {
    if (!arg(a, i).is_text()) bad_argument(fn);
    return arg(a, i).text();
}

double number_arg(const Args& a, std::size_t i, std::string_view fn) {
    if (!arg(a, i).is_number()) bad_argument(fn);
    return arg(a, i).number();
}

// A count argument: optional ones take `fallback`, negative counts become 0.
// Counts are capped at kMaxText: no text of the program comes near it, and a stray
// expression must not exhaust memory.
constexpr double kMaxText = 1'000'000;

long count_arg(const Args& a, std::size_t i, std::string_view fn, long fallback) {
    if (arg(a, i).is_nothing()) return fallback;
    double n = number_arg(a, i, fn);
    if (!(n <= kMaxText)) bad_argument(fn);
    return n < 0 ? 0 : static_cast<long>(n);
}

Date date_arg(const Args& a, std::size_t i, std::string_view fn) {
    if (!arg(a, i).is_date()) bad_argument(fn);
    return arg(a, i).date();
}

std::string dtos(Date d) {
    if (d.empty()) return std::string(8, ' ');
    char out[9];
    std::snprintf(out, sizeof out, "%04d%02d%02d", d.year(), d.month(), d.day());
    return out;
}

// Default STR form: a field's declared width and decimals, else 10 columns and the
// decimals the number needs (none for whole numbers, 2 otherwise).
Value str(const Args& a) {
    const Value& v = arg(a, 0);
    if (!v.is_number()) bad_argument("STR");
    const Number& n = v.number_info();
    int decimals = n.decimals >= 0 ? n.decimals : (n.value == std::floor(n.value) ? 0 : 2);
    if (!arg(a, 2).is_nothing()) decimals = static_cast<int>(count_arg(a, 2, "STR", 0));
    int width = n.width >= 0 ? n.width : (decimals > 0 ? 10 + decimals + 1 : 10);
    if (!arg(a, 1).is_nothing()) {
        width = static_cast<int>(count_arg(a, 1, "STR", 10));
        if (arg(a, 2).is_nothing()) decimals = 0;
    }
    return str_text(n.value, width, decimals);
}

Value val(const Args& a) {
    std::string t = trim(text_arg(a, 0, "VAL"));
    double v = leading_number(t);
    std::size_t dot = t.find('.');
    int decimals = 0;
    if (dot != std::string::npos)
        while (dot + 1 + decimals < t.size() &&
               std::isdigit(static_cast<unsigned char>(t[dot + 1 + decimals])))
            ++decimals;
    return Value::number(v, -1, decimals);
}

Value substr(const Args& a) {
    const std::string& s = text_arg(a, 0, "SUBSTR");
    double from = number_arg(a, 1, "SUBSTR");
    if (!(std::fabs(from) <= kMaxText)) return std::string();
    long start = static_cast<long>(from);
    long size = static_cast<long>(s.size());
    if (start < 0) start = std::max(1L, size + start + 1);
    if (start == 0) start = 1;
    if (start > size) return std::string();
    long len = count_arg(a, 2, "SUBSTR", size);
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len));
}

Value strtran(const Args& a) {
    const std::string& s = text_arg(a, 0, "STRTRAN");
    const std::string& find = text_arg(a, 1, "STRTRAN");
    std::string with = arg(a, 2).is_nothing() ? std::string() : text_arg(a, 2, "STRTRAN");
    long first = count_arg(a, 3, "STRTRAN", 1);
    long count = count_arg(a, 4, "STRTRAN", -1);
    if (arg(a, 4).is_nothing()) count = -1;
    if (find.empty()) return s;
    std::string out;
    std::size_t at = 0;
    long seen = 0, done = 0;
    while (true) {
        std::size_t hit = s.find(find, at);
        if (hit == std::string::npos || (count >= 0 && done >= count)) break;
        ++seen;
        out.append(s, at, hit - at);
        if (seen >= first) {
            out += with;
            ++done;
        } else {
            out += find;
        }
        at = hit + find.size();
    }
    out.append(s, at, std::string::npos);
    return out;
}

std::string as_text(const Value& v, std::string_view fn) {
    switch (v.kind()) {
        case Kind::kText:
            return v.text();
        case Kind::kNumber:
            return trim(str(Args{v}).text());
        case Kind::kDate:
            return date_to_text(v.date());
        case Kind::kLogical:
            return v.logical() ? "T" : "F";
        default:
            bad_argument(fn);
    }
}

Value pad(const Args& a, bool right, std::string_view fn) {
    std::string s = as_text(arg(a, 0), fn);
    auto n = static_cast<std::size_t>(count_arg(a, 1, fn, 0));
    char fill = arg(a, 2).is_nothing() ? ' ' : (text_arg(a, 2, fn) + " ")[0];
    if (s.size() >= n) return s.substr(0, n);
    std::string padding(n - s.size(), fill);
    return right ? s + padding : padding + s;
}

using Builtin = std::function<Value(Args&)>;

const std::map<std::string, Builtin, std::less<>>& builtins() {
    static const std::map<std::string, Builtin, std::less<>> table = {
        {"UPPER", [](Args& a) -> Value { return upper(text_arg(a, 0, "UPPER")); }},
        {"LOWER", [](Args& a) -> Value { return lower(text_arg(a, 0, "LOWER")); }},
        {"TRIM", [](Args& a) -> Value { return trim_right(text_arg(a, 0, "TRIM")); }},
        {"RTRIM", [](Args& a) -> Value { return trim_right(text_arg(a, 0, "RTRIM")); }},
        {"LTRIM", [](Args& a) -> Value { return trim_left(text_arg(a, 0, "LTRIM")); }},
        {"ALLTRIM", [](Args& a) -> Value { return trim(text_arg(a, 0, "ALLTRIM")); }},
        {"SUBSTR", substr},
        {"LEFT",
         [](Args& a) -> Value {
             return text_arg(a, 0, "LEFT")
                 .substr(0, static_cast<std::size_t>(count_arg(a, 1, "LEFT", 0)));
         }},
        {"RIGHT",
         [](Args& a) -> Value {
             const std::string& s = text_arg(a, 0, "RIGHT");
             auto n = std::min(s.size(), static_cast<std::size_t>(count_arg(a, 1, "RIGHT", 0)));
             return s.substr(s.size() - n);
         }},
        {"STR", [](Args& a) { return str(a); }},
        {"VAL", val},
        {"DTOC", [](Args& a) -> Value { return date_to_text(date_arg(a, 0, "DTOC")); }},
        {"CTOD",
         [](Args& a) -> Value { return date_from_text(text_arg(a, 0, "CTOD")).value_or(Date()); }},
        {"DTOS", [](Args& a) -> Value { return dtos(date_arg(a, 0, "DTOS")); }},
        {"STOD",
         [](Args& a) -> Value {
             const std::string& s = text_arg(a, 0, "STOD");
             if (s.size() != 8) return Date();
             return date_from_text(s.substr(6, 2) + "/" + s.substr(4, 2) + "/" + s.substr(0, 4),
                                   "dd/mm/yyyy", 1980)
                 .value_or(Date());
         }},
        {"EMPTY", [](Args& a) -> Value { return is_empty_value(arg(a, 0)); }},
        {"CHR",
         [](Args& a) -> Value {
             double n = number_arg(a, 0, "CHR");
             if (!(n >= 0 && n < 256)) bad_argument("CHR");
             return std::string(1, static_cast<char>(static_cast<int>(n)));
         }},
        {"ASC",
         [](Args& a) -> Value {
             const std::string& s = text_arg(a, 0, "ASC");
             return s.empty() ? 0 : static_cast<unsigned char>(s[0]);
         }},
        {"SPACE",
         [](Args& a) -> Value {
             return std::string(static_cast<std::size_t>(count_arg(a, 0, "SPACE", 0)), ' ');
         }},
        {"REPLICATE",
         [](Args& a) -> Value {
             const std::string& s = text_arg(a, 0, "REPLICATE");
             long times = count_arg(a, 1, "REPLICATE", 0);
             if (static_cast<double>(s.size()) * static_cast<double>(times) > kMaxText)
                 bad_argument("REPLICATE");
             std::string out;
             for (; times > 0; --times) out += s;
             return out;
         }},
        {"STRTRAN", strtran},
        {"LEN",
         [](Args& a) -> Value {
             const Value& v = arg(a, 0);
             if (v.is_text()) return static_cast<long>(v.text().size());
             if (v.is_list()) return static_cast<long>(v.items().size());
             bad_argument("LEN");
         }},
        {"DATE", [](Args&) -> Value { return today(); }},
        {"YEAR", [](Args& a) -> Value { return date_arg(a, 0, "YEAR").year(); }},
        {"MONTH", [](Args& a) -> Value { return date_arg(a, 0, "MONTH").month(); }},
        {"DAY", [](Args& a) -> Value { return date_arg(a, 0, "DAY").day(); }},
        {"PADR", [](Args& a) { return pad(a, true, "PADR"); }},
        {"PADL", [](Args& a) { return pad(a, false, "PADL"); }},
    };
    return table;
}

}  // namespace

ExprFailure expr_failure(int gencode, int subcode, std::string description, std::string operation) {
    Error e;
    e.gencode = gencode;
    e.subcode = subcode;
    e.subsystem = "BASE";
    e.description = std::move(description);
    e.operation = std::move(operation);
    return ExprFailure{e};
}

std::string str_text(double value, int width, int decimals) {
    if (width <= 0) return std::string();
    const auto columns = static_cast<std::size_t>(std::min(width, 255));
    if (!std::isfinite(value)) return std::string(columns, '*');
    const RoundedDecimal r = round_decimal(value, std::min(decimals, 100));
    std::string text = (r.negative ? "-" : "") + r.integer;
    if (!r.fraction.empty()) text += "." + r.fraction;
    if (text.size() > columns) return std::string(columns, '*');
    return std::string(columns - text.size(), ' ') + text;
}

std::optional<Value> call_function(std::string_view name, std::vector<Value>& args) {
    const auto& table = builtins();
    if (auto it = table.find(name); it != table.end()) return it->second(args);
    auto& registry = procedures();
    if (auto it = registry.find(std::string(name)); it != registry.end()) return it->second(args);
    return std::nullopt;
}

void register_procedure(std::string_view name, Callback procedure) {
    procedures()[upper(name)] = std::move(procedure);
}

void unregister_procedure(std::string_view name) { procedures().erase(upper(name)); }

}  // namespace runtime
