// One open compound index file (layout: cdx_layout.h): its tags from the directory, and
// the store of its pages that the trees (cdx_tree.h) read and write.
//
// Pages are read through a cache. In a file opened shared they are written at once; opened
// exclusively, changed pages are kept and written by flush() (the table's commit, close
// and the destructor), the update counter with them. Every use happens inside an
// access bracket (Access). In a file opened shared, the bracket takes the index lock
// (lock_scheme.h: shared to read, exclusive to change) and reads the update counter
// again; when another process moved it, the cached pages are dropped. A bracket that
// changed the file raises the counter as it closes, before the lock goes.
//
// Failures raise an error record (errors.h; a damaged file: 1012 with the file's name) and
// the call answers false (or 0, or nothing). Used by the user-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dbf/cdx_layout.h"
#include "dbf/cdx_node.h"
#include "dbf/file_io.h"

namespace dbf {

struct TagInfo {
    std::string name;  // upper case, as the directory holds it
    std::uint32_t header_at = 0;
    std::uint32_t root = 0;
    std::size_t key_length = 0;
    unsigned char options = cdx::kOptionCompact | cdx::kOptionCompound;
    bool descending = false;
    std::string key_text;  // as typed
    std::string for_text;  // empty when every record has a key

    bool unique() const { return (options & cdx::kOptionUnique) != 0; }
};

class IndexFile {
public:
    struct Options {
        bool shared = true;
        bool read_only = false;
    };

    static std::unique_ptr<IndexFile> open(const std::string& path, Options options);
    // A new file with no tags, replacing one that exists.
    static std::unique_ptr<IndexFile> create(const std::string& path, Options options);

    ~IndexFile();
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    const std::string& path() const { return path_; }
    // The tags in the order their headers lie in the file (the order they were made in).
    // Opened shared, read again in each bracket that finds the update counter moved: another
    // process may have added or replaced a tag.
    const std::vector<TagInfo>& tags() const { return tags_; }
    // Raised each time the tags change; the orders bound to them compare it.
    std::uint64_t tags_version() const { return tags_version_; }
    // Makes a tag with an empty tree (replacing one of the same name) from `tag`'s name,
    // key length, options and texts, and fills in where it lies. Inside a writing bracket.
    bool add_tag(TagInfo& tag);
    std::uint32_t counter() const { return counter_; }
    // Writes the pages changed and kept (opened exclusively); false after raising.
    bool flush();

    // An access bracket; brackets nest, the outermost one locks.
    class Access {
    public:
        Access(IndexFile& file, bool write);
        ~Access();
        Access(const Access&) = delete;
        Access& operator=(const Access&) = delete;
        bool ok() const { return ok_; }

    private:
        IndexFile& file_;
        bool ok_ = false;
    };

    // The page store of the trees.
    bool read_node(std::uint32_t page, std::size_t key_length, char pad, cdx::Node& node);
    // The page as held, without a copy: valid until the next call that reads or writes a
    // page. Null after raising.
    const cdx::Node* peek(std::uint32_t page, std::size_t key_length, char pad);
    // Takes the node (a caller done with it moves it in: pages are not copied twice).
    bool write_node(std::uint32_t page, cdx::Node node, std::size_t key_length, char pad);
    // The page as held, to be changed where it is (valid as peek's answer), then handed
    // back with stored(). A leaf's key_bytes and top_recno are kept current by the caller.
    cdx::Node* edit(std::uint32_t page, std::size_t key_length, char pad);
    // The held page (edit's answer) was changed: kept to be written, or written now
    // (opened shared). A failed write drops the page from the cache, so that it is read
    // again as the file has it.
    bool stored(std::uint32_t page, cdx::Node& held, std::size_t key_length, char pad);
    // Room for `bytes` at the end of the file; 0 after raising.
    std::uint32_t allocate(std::size_t bytes);
    std::size_t page_count() const { return static_cast<std::size_t>(end_ / cdx::kPageSize); }
    // Raises the damage; false, or null for the calls that answer a page.
    bool corrupt(const std::string& what);
    std::nullptr_t damaged(const std::string& what) {
        corrupt(what);
        return nullptr;
    }

private:
    IndexFile() = default;
    bool begin(bool write);
    void end();
    bool read_size();
    bool read_counter(std::uint32_t& counter);
    bool write_bytes(std::uint64_t at, const std::string& bytes);
    bool load_tags();
    bool write_counter();
    struct Layout {
        std::size_t key_length;
        char pad;
    };
    bool write_back() const { return !options_.shared; }
    // The page as the file holds it; nothing (and the fault raised) when it overflows.
    std::optional<std::string> page_bytes(const cdx::Node& node, Layout layout);
    bool write_page(std::uint32_t page, const cdx::Node& node, Layout layout);
    // Empties the cache, writing what it keeps first.
    bool make_room();

    std::string path_;
    Options options_;
    File file_;
    std::uint64_t end_ = 0;  // the file's size, pages allocated included
    std::uint32_t counter_ = 0;
    std::uint32_t directory_root_ = cdx::kDirectoryRoot;
    std::vector<TagInfo> tags_;
    std::uint64_t tags_version_ = 0;
    std::unordered_map<std::uint32_t, cdx::Node> cache_;
    std::map<std::uint32_t, Layout> dirty_;  // kept pages, written in file order
    bool counter_dirty_ = false;
    bool known_ = false;  // size and counter read (opened exclusively: read once)
    int depth_ = 0;          // brackets open
    bool locked_ = false;    // the outermost bracket holds the index lock
    bool lock_write_ = false;
    bool changed_ = false;   // a page was written in this bracket
};

// The bytes of a tag header, and a tag header read back (nothing and the reason when
// the bytes cannot be one).
std::string serialize_tag_header(const TagInfo& tag, std::uint32_t counter);
bool parse_tag_header(std::string_view bytes, TagInfo& tag, std::string& problem);

}  // namespace dbf
