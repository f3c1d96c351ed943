// Directory listing and file search on POSIX: the folder is read with opendir/readdir and each name is
// matched here with the rules the Win32 file search applies (FsRtlIsNameInExpression
// with the DOS wildcards the Win32 layer makes of "?", "*." and ".*", as documented for
// that function), so that a pattern finds the same files on both systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <map>

#include "runtime/fs.h"
#include "runtime/path.h"
#include "runtime/posix/fs_common.h"
#include "runtime/text1252.h"

namespace runtime {
namespace {

enum class Token : char { kLiteral, kStar, kDosStar, kDosQm, kDosDot };

struct Element {
    Token token;
    char letter = 0;
};

std::vector<Element> compile(std::string_view pattern) {
    if (pattern == "*.*") pattern = "*";
    std::vector<Element> out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '*') {
            out.push_back({next == '.' ? Token::kDosStar : Token::kStar});
        } else if (c == '?') {
            out.push_back({Token::kDosQm});
        } else if (c == '.' && (next == '?' || next == '*' || next == '\0')) {
            out.push_back({Token::kDosDot});
        } else {
            out.push_back({Token::kLiteral, upper(std::string_view(&c, 1))[0]});
        }
    }
    return out;
}

bool match_from(const std::vector<Element>& p, std::size_t t, const std::string& name,
                std::size_t n) {
    if (t == p.size()) return n == name.size();
    const std::size_t end = name.size();
    switch (p[t].token) {
        case Token::kLiteral:
            return n < end && name[n] == p[t].letter && match_from(p, t + 1, name, n + 1);
        case Token::kStar:
            for (std::size_t k = n; k <= end; ++k)
                if (match_from(p, t + 1, name, k)) return true;
            return false;
        case Token::kDosStar: {
            // Any run that does not pass the name's last full stop.
            std::size_t last_dot = name.rfind('.');
            std::size_t limit = last_dot == std::string::npos || last_dot < n ? end : last_dot;
            for (std::size_t k = n; k <= limit; ++k)
                if (match_from(p, t + 1, name, k)) return true;
            return false;
        }
        case Token::kDosQm:
            if (n == end || name[n] == '.') {
                while (t < p.size() && p[t].token == Token::kDosQm) ++t;
                return match_from(p, t, name, n);
            }
            return match_from(p, t + 1, name, n + 1);
        case Token::kDosDot:
            if (n == end) return match_from(p, t + 1, name, n);
            return name[n] == '.' && match_from(p, t + 1, name, n + 1);
    }
    return false;
}

bool matches(const std::vector<Element>& pattern, std::string_view name) {
    return match_from(pattern, 0, upper(name), 0);
}

// The platform's name of the folder part, ending in "/"; the current folder when empty.
std::string folder_to_read(std::string_view folder) {
    std::string native = folder.empty() ? std::string() : native_path(folder).string();
    if (native.empty()) return "./";
    return native.back() == '/' ? native : native + '/';
}

// The searches in progress: what is left of each, by handle.
struct Search {
    std::vector<FindData> found;
    std::size_t next = 0;
};
std::map<SearchHandle, Search>& searches() {
    static std::map<SearchHandle, Search> open;
    return open;
}

FileTime birth_time(const std::string& native, const struct stat& st) {
    struct statx sx {};
    if (::statx(AT_FDCWD, native.c_str(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        return posix::file_time_of({static_cast<time_t>(sx.stx_btime.tv_sec),
                                    static_cast<long>(sx.stx_btime.tv_nsec)});
    return posix::file_time_of(st.st_mtim);
}

}  // namespace

std::vector<DirEntry> list_directory(std::string_view pattern) {
    // The folder part goes through the path layer; the rest is the mask.
    std::string_view folder = split_path(pattern).location();
    std::vector<Element> mask = compile(pattern.substr(folder.size()));
    const std::string native_folder = folder_to_read(folder);

    std::vector<DirEntry> out;
    DIR* dir = opendir(native_folder.c_str());
    if (dir == nullptr) return out;
    while (const dirent* d = readdir(dir)) {
        std::string name = from_utf8(d->d_name);
        if (!matches(mask, name)) continue;
        struct stat st {};
        // A dangling link names nothing that could be opened: it is not listed.
        std::string entry_path = native_folder;
        entry_path += d->d_name;
        if (stat(entry_path.c_str(), &st) != 0) continue;
        struct stat own {};
        bool link = lstat(entry_path.c_str(), &own) == 0 && S_ISLNK(own.st_mode);
        std::uint32_t bits = posix::attributes_of(name, st);
        out.push_back({std::move(name), (bits & attribute::kDirectory) != 0,
                       (bits & attribute::kReadOnly) != 0, (bits & attribute::kHidden) != 0,
                       (bits & attribute::kSystem) != 0, link});
    }
    closedir(dir);
    return out;
}

SearchHandle find_first_file(std::string_view pattern, FindData& found) {
    const std::string folder = folder_to_read(split_path(pattern).location());
    Search search;
    for (DirEntry& e : list_directory(pattern)) {
        std::string native = folder + to_utf8(e.name);
        struct stat st {};
        if (::stat(native.c_str(), &st) != 0) continue;
        FindData d;
        d.attributes = posix::attributes_of(e.name, st);
        d.created = birth_time(native, st);
        d.accessed = posix::file_time_of(st.st_atim);
        d.written = posix::file_time_of(st.st_mtim);
        d.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
        d.name = std::move(e.name);
        search.found.push_back(std::move(d));
    }
    if (search.found.empty()) return kNoSearch;
    found = search.found.front();
    search.next = 1;
    // Handles count up from 1, never reused within a run.
    static SearchHandle last = 0;
    searches().emplace(++last, std::move(search));
    return last;
}

bool find_next_file(SearchHandle search, FindData& found) {
    auto it = searches().find(search);
    if (it == searches().end() || it->second.next == it->second.found.size()) return false;
    found = it->second.found[it->second.next++];
    return true;
}

bool find_close(SearchHandle search) { return searches().erase(search) != 0; }

}  // namespace runtime
