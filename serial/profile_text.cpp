#include "serial/profile_text.h"

#include <vector>

#include "runtime/text1252.h"

namespace serial {

namespace {

struct Line {
    std::size_t begin, end;  // the line without its line break
    std::string_view text;
};

std::vector<Line> lines_of(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t nl = text.find('\n', at);
        std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        if (end > at && text[end - 1] == '\r') --end;
        lines.push_back({at, end, text.substr(at, end - at)});
        at = next;
    }
    return lines;
}

// The section a "[name]" line opens.
std::optional<std::string> section_name(std::string_view line) {
    std::string t = runtime::trim(line);
    if (t.empty() || t.front() != '[') return std::nullopt;
    std::size_t close = t.find(']');
    return runtime::trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct Entry {
    std::string key, value;
};

std::optional<Entry> entry_of(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string value = runtime::trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return Entry{runtime::trim(line.substr(0, eq)), value};
}

bool same(std::string_view a, std::string_view b) {
    return a.size() == b.size() && runtime::equals_ignore_case(a, b);
}

// The lines of the first section of that name: [first, last) past its header.
struct Span {
    std::size_t header, first, last;
};

std::optional<Span> find_section(const std::vector<Line>& lines, std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::optional<std::string> name = section_name(lines[i].text);
        if (!name || !same(*name, runtime::trim(section))) continue;
        std::size_t j = i + 1;
        while (j < lines.size() && !section_name(lines[j].text)) ++j;
        return Span{i, i + 1, j};
    }
    return std::nullopt;
}

std::string line_break(std::string_view text) {
    return text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
               ? "\r\n"
               : "\n";
}

}  // namespace

std::optional<std::string> profile_value(std::string_view text, std::string_view section,
                                         std::string_view key) {
    std::vector<Line> lines = lines_of(text);
    std::optional<Span> span = find_section(lines, section);
    if (!span) return std::nullopt;
    for (std::size_t i = span->first; i < span->last; ++i) {
        std::optional<Entry> e = entry_of(lines[i].text);
        if (e && same(e->key, runtime::trim(key))) return e->value;
    }
    return std::nullopt;
}

std::optional<std::string> profile_keys(std::string_view text, std::string_view section) {
    std::vector<Line> lines = lines_of(text);
    std::optional<Span> span = find_section(lines, section);
    if (!span) return std::nullopt;
    std::string keys;
    for (std::size_t i = span->first; i < span->last; ++i) {
        if (std::optional<Entry> e = entry_of(lines[i].text); e && !e->key.empty()) {
            keys += e->key;
            keys.push_back('\0');
        }
    }
    return keys;
}

std::string profile_sections(std::string_view text) {
    std::string names;
    for (const Line& line : lines_of(text)) {
        // A section without a name cannot be asked for: it is not listed.
        if (std::optional<std::string> name = section_name(line.text); name && !name->empty()) {
            names += *name;
            names.push_back('\0');
        }
    }
    return names;
}

std::string profile_with(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    std::vector<Line> lines = lines_of(text);
    std::string nl = line_break(text);
    std::string entry = runtime::trim(key) + "=" + std::string(value);
    std::optional<Span> span = find_section(lines, section);
    std::string out(text);
    if (!span) {
        if (!out.empty() && out.back() != '\n') out += nl;
        return out + "[" + runtime::trim(section) + "]" + nl + entry + nl;
    }
    std::size_t after = lines[span->header].end;  // where a new key line goes
    for (std::size_t i = span->first; i < span->last; ++i) {
        std::optional<Entry> e = entry_of(lines[i].text);
        if (!e) continue;
        if (same(e->key, runtime::trim(key))) {
            // The key keeps the spelling the file gave it, as the platform's writer does.
            return out.replace(lines[i].begin, lines[i].end - lines[i].begin,
                               e->key + "=" + std::string(value));
        }
        after = lines[i].end;
    }
    if (after == out.size()) return out + nl + entry + nl;
    std::size_t insert = out[after] == '\r' ? after + 2 : after + 1;
    return out.insert(insert, entry + nl);
}

}  // namespace serial
