// Sections: tag headers; opening and creating; access brackets; the page store; tags.
#include "dbf/index_file.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "dbf/cdx_tree.h"
#include "dbf/errors.h"
#include "dbf/header.h"
#include "dbf/lock_scheme.h"

namespace dbf {
namespace {

namespace gen = runtime::gencode;
using cdx::Node;

// A cache past this many pages starts afresh: at 512 bytes a page about 8 MiB.
constexpr std::size_t kCachePages = 16384;
// The most a flush writes at once.
constexpr std::size_t kRunBytes = 64 * 1024;
// Others hold the index lock only while they read or change a few pages.
constexpr int kLockTries = 2000;
constexpr char kDirectoryPad = ' ';

bool raise_open(int code, const std::string& file, int gencode, int sub, const char* op) {
    raise_io(gencode, sub, code, file, op);
    return false;
}

}  // namespace

// ---- tag headers ---------------------------------------------------------------------

std::string serialize_tag_header(const TagInfo& tag, std::uint32_t counter) {
    std::string h(cdx::kHeaderSize, '\0');
    write_le32(h.data() + cdx::kRootAt, tag.root);
    write_le32(h.data() + cdx::kCounterAt, counter);
    write_le16(h.data() + cdx::kKeyLengthAt, static_cast<std::uint16_t>(tag.key_length));
    h[cdx::kOptionsAt] = static_cast<char>(tag.options);
    h[cdx::kSignatureAt] = static_cast<char>(cdx::kSignature);
    auto key_pool = static_cast<std::uint16_t>(tag.key_text.size() + 1);
    auto for_pool = static_cast<std::uint16_t>(tag.for_text.size() + 1);
    write_le16(h.data() + cdx::kOrderAt, tag.descending ? 1 : 0);
    write_le16(h.data() + cdx::kTotalLengthAt, static_cast<std::uint16_t>(key_pool + for_pool - 1));
    write_le16(h.data() + cdx::kForLengthAt, for_pool);
    write_le16(h.data() + cdx::kKeyExprLengthAt, key_pool);
    tag.key_text.copy(h.data() + cdx::kExpressionsAt, tag.key_text.size());
    tag.for_text.copy(h.data() + cdx::kExpressionsAt + key_pool, tag.for_text.size());
    return h;
}

bool parse_tag_header(std::string_view bytes, TagInfo& tag, std::string& problem) {
    if (bytes.size() < cdx::kHeaderSize) {
        problem = "tag header cut short";
        return false;
    }
    const char* h = bytes.data();
    tag.root = read_le32(h + cdx::kRootAt);
    tag.key_length = read_le16(h + cdx::kKeyLengthAt);
    tag.options = static_cast<unsigned char>(h[cdx::kOptionsAt]);
    tag.descending = read_le16(h + cdx::kOrderAt) != 0;
    std::size_t key_pool = read_le16(h + cdx::kKeyExprLengthAt);
    std::size_t for_pool = read_le16(h + cdx::kForLengthAt);
    if (tag.key_length < 1 || tag.key_length > cdx::kMaxKeyLength) {
        problem = "impossible key length " + std::to_string(tag.key_length);
        return false;
    }
    if (tag.root % cdx::kPageSize != 0 || tag.root < cdx::kHeaderSize) {
        problem = "root page out of place";
        return false;
    }
    // The pool holds the key expression and the FOR expression, each with its NUL.
    std::string_view pool(h + cdx::kExpressionsAt, cdx::kExpressionRoom);
    std::size_t key_end = pool.find('\0');
    if (key_end == std::string_view::npos || (key_pool != 0 && key_pool > cdx::kExpressionRoom)) {
        problem = "expressions out of their room";
        return false;
    }
    tag.key_text.assign(pool.substr(0, key_end));
    tag.for_text.clear();
    if (for_pool > 1 || (tag.options & cdx::kOptionFor)) {
        std::string_view rest = pool.substr(key_end + 1);
        tag.for_text.assign(rest.substr(0, rest.find('\0')));
    }
    return true;
}

// ---- opening and creating ------------------------------------------------------------

std::unique_ptr<IndexFile> IndexFile::open(const std::string& path, Options options) {
    std::unique_ptr<IndexFile> f(new IndexFile());
    f->path_ = path;
    f->options_ = options;
    File::Access access = options.read_only ? File::Access::kRead : File::Access::kReadWrite;
    File::Share share = options.shared ? File::Share::kShared : File::Share::kExclusive;
    if (int e = f->file_.open(path, access, share)) {
        raise_open(e, path, gen::kOpen, subcode::kOpen, "open");
        return nullptr;
    }
    Access access_bracket(*f, false);  // reads the tags
    if (!access_bracket.ok()) return nullptr;
    return f;
}

std::unique_ptr<IndexFile> IndexFile::create(const std::string& path, Options options) {
    std::unique_ptr<IndexFile> f(new IndexFile());
    f->path_ = path;
    f->options_ = options;
    if (int e = f->file_.create(path)) {
        raise_open(e, path, gen::kCreate, subcode::kCreate, "create");
        return nullptr;
    }
    // The file header is a tag header whose tree is the directory of tag names.
    TagInfo directory;
    directory.root = cdx::kDirectoryRoot;
    directory.key_length = cdx::kTagNameLength;
    directory.options = cdx::kOptionCompact | cdx::kOptionCompound | cdx::kOptionStructural;
    std::optional<std::string> root = cdx::encode_node(Node{}, cdx::kTagNameLength, kDirectoryPad);
    std::string bytes = serialize_tag_header(directory, 0) + *root;
    if (int e = f->file_.write_at(0, bytes.data(), bytes.size())) {
        raise_open(e, path, gen::kCreate, subcode::kCreate, "create");
        return nullptr;
    }
    f->file_.close();
    // Opened again as asked: creating takes the file exclusively.
    return open(path, options);
}

IndexFile::~IndexFile() {
    try {
        flush();
    } catch (...) {
        // A destructor never throws; flush() first to see failures.
    }
}

// ---- access brackets -----------------------------------------------------------------

IndexFile::Access::Access(IndexFile& file, bool write) : file_(file) {
    ok_ = file_.begin(write);
}

IndexFile::Access::~Access() {
    if (ok_) file_.end();
}

bool IndexFile::begin(bool write) {
    if (depth_ > 0) {
        if (write && !lock_write_ && locked_) {
            // A reading bracket cannot turn into a writing one without letting go.
            runtime::raise({.gencode = gen::kLock,
                            .subcode = subcode::kIndexLock,
                            .subsystem = kSubsystem,
                            .description = "Index lock failed",
                            .filename = path_,
                            .operation = "write"});
            return false;
        }
        ++depth_;
        return true;
    }
    if (options_.shared) {
        bool exclusive = write && !options_.read_only;
        bool granted = false;
        for (int tries = 0; tries < kLockTries && !granted; ++tries) {
            granted = file_.try_lock(kIndexLockOffset, 1, exclusive);
            if (!granted) std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (!granted) {
            runtime::raise({.gencode = gen::kLock,
                            .subcode = subcode::kIndexLock,
                            .oscode = oscode::kLockViolation,
                            .subsystem = kSubsystem,
                            .description = "Index lock failed",
                            .filename = path_,
                            .operation = write ? "write" : "read",
                            .candefault = true});
            return false;
        }
        locked_ = true;
        lock_write_ = exclusive;
    }
    depth_ = 1;
    changed_ = false;
    // Opened exclusively, nobody else changes the file: what is held stays true.
    if (!options_.shared && known_) return true;
    bool first = !known_;
    std::uint32_t counter = 0;
    bool ok = read_size() && read_counter(counter);
    known_ = ok;
    if (ok && (first || counter != counter_)) {
        // Another process changed the file: what is cached may be stale, its tags too.
        cache_.clear();
        counter_ = counter;
        ok = load_tags();
        known_ = ok;
    }
    if (!ok) end();
    return ok;
}

void IndexFile::end() {
    if (--depth_ > 0) return;
    if (changed_) {
        ++counter_;
        if (write_back()) counter_dirty_ = true;
        else write_counter();
        changed_ = false;
    }
    if (locked_) file_.unlock(kIndexLockOffset, 1);
    locked_ = lock_write_ = false;
}

bool IndexFile::read_size() {
    std::uint64_t size = 0;
    if (int e = file_.size(size)) {
        raise_io(gen::kRead, subcode::kRead, e, path_, "read");
        return false;
    }
    end_ = (size + cdx::kPageSize - 1) / cdx::kPageSize * cdx::kPageSize;
    if (end_ < cdx::kHeaderSize + cdx::kPageSize) return corrupt("index file cut short");
    return true;
}

bool IndexFile::read_counter(std::uint32_t& counter) {
    char bytes[4];
    std::size_t got = 0;
    if (int e = file_.read_at(cdx::kCounterAt, bytes, sizeof bytes, got)) {
        raise_io(gen::kRead, subcode::kRead, e, path_, "read");
        return false;
    }
    if (got != sizeof bytes) return corrupt("index file cut short");
    counter = read_le32(bytes);
    return true;
}

bool IndexFile::write_counter() {
    char bytes[4];
    write_le32(bytes, counter_);
    return write_bytes(cdx::kCounterAt, std::string(bytes, sizeof bytes));
}

bool IndexFile::write_bytes(std::uint64_t at, const std::string& bytes) {
    if (int e = file_.write_at(at, bytes.data(), bytes.size())) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "write");
        return false;
    }
    return true;
}

// ---- the page store ------------------------------------------------------------------

bool IndexFile::corrupt(const std::string& what) {
    raise_corrupt(path_, what, "index");
    return false;
}

bool IndexFile::read_node(std::uint32_t page, std::size_t key_length, char pad, Node& node) {
    const Node* held = peek(page, key_length, pad);
    if (held) node = *held;
    return held != nullptr;
}

const Node* IndexFile::peek(std::uint32_t page, std::size_t key_length, char pad) {
    return edit(page, key_length, pad);
}

Node* IndexFile::edit(std::uint32_t page, std::size_t key_length, char pad) {
    if (auto it = cache_.find(page); it != cache_.end()) return &it->second;
    if (page % cdx::kPageSize != 0 || page < cdx::kDirectoryRoot ||
        std::uint64_t{page} + cdx::kPageSize > end_)
        return damaged("page pointer " + std::to_string(page) + " outside the file");
    std::string bytes(cdx::kPageSize, '\0');
    std::size_t got = 0;
    if (int e = file_.read_at(page, bytes.data(), bytes.size(), got)) {
        raise_io(gen::kRead, subcode::kRead, e, path_, "read");
        return nullptr;
    }
    if (got != bytes.size()) return damaged("page " + std::to_string(page) + " cut short");
    std::string problem;
    std::optional<Node> decoded = cdx::decode_node(bytes, key_length, pad, problem);
    if (!decoded) return damaged("page " + std::to_string(page) + ": " + problem);
    if (cache_.size() >= kCachePages && !make_room()) return nullptr;
    return &cache_.emplace(page, std::move(*decoded)).first->second;
}

bool IndexFile::write_node(std::uint32_t page, Node node, std::size_t key_length, char pad) {
    end_ = std::max<std::uint64_t>(end_, std::uint64_t{page} + cdx::kPageSize);
    if (cache_.size() >= kCachePages && !make_room()) return false;
    if (node.leaf()) cdx::count_room(node, key_length, pad);
    Node& held = cache_[page] = std::move(node);
    return stored(page, held, key_length, pad);
}

bool IndexFile::stored(std::uint32_t page, Node& held, std::size_t key_length, char pad) {
    changed_ = true;
    // The count written is the room the keys leave: nothing left to compare.
    held.stated_free = held.real_free = 0;
    if (write_back()) {
        dirty_[page] = Layout{key_length, pad};
        return true;
    }
    if (!write_page(page, held, Layout{key_length, pad})) {
        cache_.erase(page);
        return false;
    }
    return true;
}

std::optional<std::string> IndexFile::page_bytes(const Node& node, Layout layout) {
    std::optional<std::string> bytes = cdx::encode_node(node, layout.key_length, layout.pad);
    if (!bytes) corrupt("a page overflowed");  // the trees split before this
    return bytes;
}

bool IndexFile::write_page(std::uint32_t page, const Node& node, Layout layout) {
    std::optional<std::string> bytes = page_bytes(node, layout);
    return bytes && write_bytes(page, *bytes);
}

bool IndexFile::make_room() {
    bool ok = flush();
    cache_.clear();
    return ok;
}

bool IndexFile::flush() {
    bool ok = true;
    // Neighbouring pages go out together, a run of them in one write (a build writes
    // thousands of pages in a row).
    std::string run;
    std::uint64_t run_at = 0;
    auto write_run = [&] {
        if (!run.empty() && !write_bytes(run_at, run)) ok = false;
        run.clear();
    };
    for (const auto& [page, layout] : dirty_) {
        auto it = cache_.find(page);
        if (it == cache_.end()) continue;
        std::optional<std::string> bytes = page_bytes(it->second, layout);
        if (!bytes) {
            ok = false;
            continue;
        }
        if (run_at + run.size() != page || run.size() >= kRunBytes) {
            write_run();
            run_at = page;
        }
        run += *bytes;
    }
    write_run();
    dirty_.clear();
    if (counter_dirty_) {
        counter_dirty_ = false;
        ok = write_counter() && ok;
    }
    // A failed write may have left part of a page: read them again from the disk.
    if (!ok) cache_.clear();
    return ok;
}

std::uint32_t IndexFile::allocate(std::size_t bytes) {
    if (end_ + bytes > 0xFFFFFFFFull - cdx::kPageSize) {
        raise_io(gen::kWrite, subcode::kWrite, oscode::kDiskFull, path_, "write");
        return 0;
    }
    auto at = static_cast<std::uint32_t>(end_);
    end_ += bytes;
    return at;
}

// ---- tags ----------------------------------------------------------------------------

bool IndexFile::load_tags() {
    char head[cdx::kHeaderSize];
    std::size_t got = 0;
    if (int e = file_.read_at(0, head, sizeof head, got)) {
        raise_io(gen::kRead, subcode::kRead, e, path_, "open");
        return false;
    }
    TagInfo directory;
    std::string problem;
    if (!parse_tag_header(std::string_view(head, got), directory, problem))
        return corrupt("file header: " + problem);
    directory_root_ = directory.root;
    CdxTree tree(*this, directory_root_, directory.key_length, kDirectoryPad);
    std::vector<TagInfo> tags;
    bool ok = tree.scan(cdx::Entry{}, [&](const cdx::Entry& e) {
        TagInfo tag;
        std::string name = e.key;
        while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
        tag.name = name;
        tag.header_at = e.recno;
        tags.push_back(std::move(tag));
        return tags.size() <= page_count();
    });
    if (!ok) return false;
    auto known = [&](const TagInfo& tag) {
        return std::find_if(tags_.begin(), tags_.end(), [&](const TagInfo& t) {
            return t.header_at == tag.header_at && t.name == tag.name;
        });
    };
    for (TagInfo& tag : tags) {
        // A tag's header never changes once made: only new ones are read.
        if (auto it = known(tag); it != tags_.end()) {
            tag = *it;
            continue;
        }
        std::string name = tag.name;
        std::uint32_t at = tag.header_at;
        if (at % cdx::kPageSize != 0 || at < cdx::kHeaderSize ||
            std::uint64_t{at} + cdx::kHeaderSize > end_)
            return corrupt("tag " + name + " header outside the file");
        if (int e = file_.read_at(at, head, sizeof head, got)) {
            raise_io(gen::kRead, subcode::kRead, e, path_, "open");
            return false;
        }
        if (!parse_tag_header(std::string_view(head, got), tag, problem))
            return corrupt("tag " + name + ": " + problem);
        tag.name = name;
        tag.header_at = at;
    }
    std::sort(tags.begin(), tags.end(),
              [](const TagInfo& a, const TagInfo& b) { return a.header_at < b.header_at; });
    bool same = tags.size() == tags_.size() &&
                std::all_of(tags.begin(), tags.end(),
                            [&](const TagInfo& tag) { return known(tag) != tags_.end(); });
    if (!same) {
        tags_ = std::move(tags);
        ++tags_version_;
    }
    return true;
}

bool IndexFile::add_tag(TagInfo& tag) {
    std::string name = tag.name.substr(0, cdx::kTagNameLength);
    std::string key = name;
    key.resize(cdx::kTagNameLength, kDirectoryPad);
    CdxTree directory(*this, directory_root_, cdx::kTagNameLength, kDirectoryPad);
    ++tags_version_;  // the tags change from here, even when a failure stops it halfway
    for (auto it = tags_.begin(); it != tags_.end(); ++it) {
        if (it->name != name) continue;
        bool found = false;
        if (!directory.remove(cdx::Entry{key, it->header_at, 0}, found)) return false;
        tags_.erase(it);
        break;
    }
    std::uint32_t at = allocate(cdx::kHeaderSize + cdx::kPageSize);
    if (!at) return false;
    tag.name = name;
    tag.header_at = at;
    tag.root = at + static_cast<std::uint32_t>(cdx::kHeaderSize);
    if (!write_bytes(at, serialize_tag_header(tag, 0))) return false;
    changed_ = true;
    Node root;
    if (!write_node(tag.root, root, tag.key_length, '\0')) return false;
    if (!directory.insert(cdx::Entry{key, at, 0})) return false;
    tags_.push_back(tag);
    return true;
}

}  // namespace dbf
