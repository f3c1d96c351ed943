#include "dbf/memo.h"

#include <chrono>
#include <thread>

#include "dbf/header.h"
#include "dbf/lock_scheme.h"

namespace dbf {
namespace {

constexpr std::uint32_t kDbaseBlock = 512;
constexpr std::uint32_t kFoxTextKind = 1;

MemoStatus damaged(std::string what) { return MemoStatus{0, std::move(what)}; }
MemoStatus failed(int code) { return MemoStatus{code, {}}; }

// Holds the memo allocation lock for its scope. Another process keeps it only while it
// writes one memo, so waiting a little is enough.
class AllocationLock {
public:
    AllocationLock(File& f, bool shared) : file_(f) {
        if (!shared) {
            held_ = true;
            return;
        }
        for (int tries = 0; tries < 2000; ++tries) {
            if (file_.try_lock(kAppendLockOffset, 1)) {
                held_ = locked_ = true;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~AllocationLock() {
        if (locked_) file_.unlock(kAppendLockOffset, 1);
    }
    bool held() const { return held_; }

private:
    File& file_;
    bool held_ = false;
    bool locked_ = false;
};

}  // namespace

int MemoFile::open(const std::string& path, File::Access access, File::Share share,
                   MemoFormat format) {
    path_ = path;
    format_ = format;
    return file_.open(path, access, share);
}

int MemoFile::create(const std::string& path) {
    path_ = path;
    format_ = MemoFormat::kFoxBlocks;
    if (int e = file_.create(path)) return e;
    std::string head(kHeaderBytes, '\0');
    write_be32(head.data(), kHeaderBytes / kFoxBlockSize);
    write_be16(head.data() + 6, kFoxBlockSize);
    return file_.write_at(0, head.data(), head.size());
}

MemoStatus MemoFile::header(std::uint32_t& next_free, std::uint32_t& block_size) {
    char head[24];
    std::size_t got = 0;
    if (int e = file_.read_at(0, head, sizeof head, got)) return failed(e);
    if (got < sizeof head) return damaged("memo header too short");
    switch (format_) {
        case MemoFormat::kFoxBlocks:
            next_free = read_be32(head);
            block_size = read_be16(head + 6);
            break;
        case MemoFormat::kDbase3:
            next_free = read_le32(head);
            block_size = kDbaseBlock;
            break;
        case MemoFormat::kDbase4:
            next_free = read_le32(head);
            block_size = read_le16(head + 20);
            if (block_size == 0) block_size = kDbaseBlock;
            break;
    }
    if (block_size == 0) return damaged("memo block size 0");
    return {};
}

MemoStatus MemoFile::read(std::uint32_t block, std::string& text) {
    text.clear();
    if (block == 0) return {};
    std::uint32_t next_free = 0, block_size = 0;
    if (MemoStatus s = header(next_free, block_size); !s.ok()) return s;
    std::uint64_t size = 0;
    if (int e = file_.size(size)) return failed(e);
    std::uint64_t at = std::uint64_t{block} * block_size;
    if (at < kHeaderBytes && format_ != MemoFormat::kDbase4) return damaged("memo block in header");
    if (at >= size) return damaged("memo block past the end of the file");
    std::size_t got = 0;
    if (format_ == MemoFormat::kDbase3) {
        // No length field: the text ends at 1A 1A, or at the end of the file.
        std::string all(static_cast<std::size_t>(size - at), '\0');
        if (int e = file_.read_at(at, all.data(), all.size(), got)) return failed(e);
        all.resize(got);
        std::size_t end = all.find("\x1A\x1A");
        if (end == std::string::npos) end = all.find('\x1A');
        text = all.substr(0, end);
        return {};
    }
    char head[8];
    if (int e = file_.read_at(at, head, sizeof head, got)) return failed(e);
    if (got < sizeof head) return damaged("memo block header cut short");
    std::uint64_t length = 0;
    if (format_ == MemoFormat::kFoxBlocks) {
        length = read_be32(head + 4);
    } else {
        if (static_cast<unsigned char>(head[0]) != 0xFF ||
            static_cast<unsigned char>(head[1]) != 0xFF)
            return damaged("memo block without its mark");
        length = read_le32(head + 4);
        if (length < 8) return damaged("memo length too small");
        length -= 8;
    }
    if (length > size - at - 8) return damaged("memo longer than the file");
    text.resize(static_cast<std::size_t>(length));
    if (int e = file_.read_at(at + 8, text.data(), text.size(), got)) return failed(e);
    if (got < text.size()) return damaged("memo cut short");
    return {};
}

MemoStatus MemoFile::allocate(std::uint32_t blocks, std::uint32_t& first) {
    std::uint32_t next_free = 0, block_size = 0;
    if (MemoStatus s = header(next_free, block_size); !s.ok()) return s;
    // New blocks inside the header would overwrite it, and the memos after it.
    if (std::uint64_t{next_free} * block_size < kHeaderBytes)
        return damaged("memo next free block inside the header");
    first = next_free;
    char head[4];
    write_be32(head, next_free + blocks);
    if (int e = file_.write_at(0, head, sizeof head)) return failed(e);
    return {};
}

MemoStatus MemoFile::write(const std::string& text, std::uint32_t old_block, bool shared,
                           std::uint32_t& block) {
    if (format_ != MemoFormat::kFoxBlocks) return damaged("memo format is read-only");
    block = 0;
    if (text.empty()) return {};
    std::uint32_t next_free = 0, block_size = 0;
    if (MemoStatus s = header(next_free, block_size); !s.ok()) return s;
    std::uint64_t bytes = 8 + text.size();
    if (bytes > 0xFFFFFFFFULL) return damaged("memo too long");
    auto needed = static_cast<std::uint32_t>((bytes + block_size - 1) / block_size);
    std::string data(std::size_t{needed} * block_size, '\0');
    write_be32(data.data(), kFoxTextKind);
    write_be32(data.data() + 4, static_cast<std::uint32_t>(text.size()));
    data.replace(8, text.size(), text);

    if (old_block != 0) {
        std::string old;
        if (read(old_block, old).ok()) {
            auto had = static_cast<std::uint32_t>((8 + old.size() + block_size - 1) / block_size);
            if (needed <= had) {
                block = old_block;
                int e =
                    file_.write_at(std::uint64_t{old_block} * block_size, data.data(), data.size());
                return e ? failed(e) : MemoStatus{};
            }
        }
    }
    AllocationLock lock(file_, shared);
    if (!lock.held()) return failed(oscode::kLockViolation);
    if (MemoStatus s = allocate(needed, block); !s.ok()) return s;
    if (int e = file_.write_at(std::uint64_t{block} * block_size, data.data(), data.size()))
        return failed(e);
    return {};
}

MemoStatus MemoFile::clear() {
    if (format_ != MemoFormat::kFoxBlocks) return damaged("memo format is read-only");
    std::uint32_t next_free = 0, block_size = 0;
    if (MemoStatus s = header(next_free, block_size); !s.ok()) return s;
    char head[4];
    write_be32(head, static_cast<std::uint32_t>((kHeaderBytes + block_size - 1) / block_size));
    if (int e = file_.write_at(0, head, sizeof head)) return failed(e);
    if (int e = file_.truncate(kHeaderBytes)) return failed(e);
    return {};
}

MemoStatus MemoFile::sync() {
    int e = file_.sync();
    return e ? failed(e) : MemoStatus{};
}

}  // namespace dbf
