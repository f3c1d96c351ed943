// Sections: opening and creating; reading and storing records; navigation; field values;
// append, delete, commit, zap; locks.
#include "dbf/table.h"

#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "dbf/field_codec.h"
#include "dbf/lock_scheme.h"
#include "dbf/network_error.h"
#include "runtime/file_case.h"
#include "runtime/text1252.h"

namespace dbf {
namespace {

using runtime::Value;
namespace gen = runtime::gencode;

bool raise_open(int code, const std::string& file) {
    runtime::raise({.gencode = gen::kOpen,
                    .subcode = subcode::kOpen,
                    .oscode = code,
                    .subsystem = kSubsystem,
                    .description = "Open error",
                    .filename = file,
                    .operation = "open",
                    .candefault = true});
    return false;
}

bool raise_arg(int gencode, int sub, const std::string& what, const std::string& file,
               const char* operation) {
    runtime::raise({.gencode = gencode,
                    .subcode = sub,
                    .subsystem = kSubsystem,
                    .description = what,
                    .filename = file,
                    .operation = operation});
    return false;
}

// An append lock is held by another process only while it writes one record; a table
// lock holds it for longer, and then the append fails.
bool take_append_lock(File& file) {
    for (int tries = 0; tries < 250; ++tries) {
        if (file.try_lock(kAppendLockOffset, 1)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Ends the file at `end` with the end byte, when more follows it; false after raising.
bool cut_after(File& file, std::uint64_t end, const std::string& path) {
    std::uint64_t size = 0;
    if (int e = file.size(size)) {
        raise_io(gen::kRead, subcode::kRead, e, path, "open");
        return false;
    }
    if (size <= end + 1) return true;
    char eof = static_cast<char>(kEndOfFile);
    int e = file.truncate(end + 1);
    if (!e) e = file.write_at(end, &eof, 1);
    if (e) {
        raise_io(gen::kWrite, subcode::kWrite, e, path, "open");
        return false;
    }
    return true;
}

}  // namespace

// ---- opening and creating ------------------------------------------------------------

std::unique_ptr<Table> Table::open(const std::string& path, Options options) {
    set_network_error(false);
    std::string file = runtime::apply_file_case(with_default_extension(path, ".DBF"));
    std::unique_ptr<Table> t(new Table());
    t->path_ = full_path(file);
    t->options_ = options;
    File::Access access = options.read_only ? File::Access::kRead : File::Access::kReadWrite;
    File::Share share = options.shared ? File::Share::kShared : File::Share::kExclusive;
    if (int e = t->file_.open(t->path_, access, share)) {
        raise_open(e, t->path_);
        return nullptr;
    }
    // The header first, the size after: another process writes a new record before the
    // count that includes it, so the size read later always covers the count read here.
    std::string bytes(65536 + 64, '\0');
    std::size_t got = 0;
    if (int e = t->file_.read_at(0, bytes.data(), bytes.size(), got)) {
        raise_io(gen::kRead, subcode::kRead, e, t->path_, "open");
        return nullptr;
    }
    bytes.resize(got);
    std::uint64_t size = 0;
    if (int e = t->file_.size(size)) {
        raise_io(gen::kRead, subcode::kRead, e, t->path_, "open");
        return nullptr;
    }
    HeaderProblem problem;
    std::optional<Header> h = parse_header(bytes, problem);
    if (!h) {
        raise_corrupt(t->path_, problem.what, "open");
        return nullptr;
    }
    if (size < h->header_length + std::uint64_t{h->count} * h->record_length) {
        raise_corrupt(t->path_, "fewer records than the header counts", "open");
        return nullptr;
    }
    t->header_ = std::move(*h);
    Table* self = t.get();
    t->orders_.follow_controlling(t->controlling_);
    t->orders_.set_records({.count = [self] { return self->header_.count; },
                            .read = [self](std::uint32_t n, std::string& out) {
                                if (!self->read_stored(n, out)) return false;
                                if (self->cipher_) self->cipher_->apply(n, out);
                                return true;
                            }});
    if (!options.read_only && !t->roll_back_uncommitted()) return nullptr;
    t->cache_.reset(t->header_.header_length, t->header_.record_length);
    if (t->header_.has_memo_field() && !t->open_memo(file)) return nullptr;
    if (!t->go_top()) return nullptr;
    return t;
}

// A writer that ended between writing a run of new records and writing their count left
// them past the count, without the end byte after the counted ones, and other tools would
// show them as records. Only an append (under the append lock) or a holder of the table
// lock writes past the count; with the append lock held here, which conflicts with both,
// nobody does, and the file goes back to its count and its end byte, as an unfinished
// transaction is rolled back. While another process holds either lock it may be such a
// writer, still running: the file is left alone. Record locks do not stand in the way.
bool Table::roll_back_uncommitted() {
    if (options_.shared && !file_.try_lock(kAppendLockOffset, 1)) return true;
    bool ok = read_count();
    std::uint64_t counted =
        header_.header_length + std::uint64_t{header_.count} * header_.record_length;
    ok = ok && cut_after(file_, counted, path_);
    if (options_.shared) file_.unlock(kAppendLockOffset, 1);
    return ok;
}

bool Table::open_memo(const std::string& table_path) {
    MemoFormat format = MemoFormat::kFoxBlocks;
    if (header_.type == kTypeDbase3Memo) format = MemoFormat::kDbase3;
    if (header_.type == kTypeDbase4Memo) format = MemoFormat::kDbase4;
    std::string memo =
        full_path(runtime::apply_file_case(with_extension(table_path, memo_extension())));
    // FoxPro's own tools name the memo ".FPT"; ours follow the driver's memo extension.
    if (format == MemoFormat::kFoxBlocks && !file_exists(memo)) {
        std::string fpt = full_path(runtime::apply_file_case(with_extension(table_path, ".FPT")));
        if (file_exists(fpt)) memo = fpt;
    }
    File::Access access = options_.read_only ? File::Access::kRead : File::Access::kReadWrite;
    File::Share share = options_.shared ? File::Share::kShared : File::Share::kExclusive;
    if (int e = memo_.open(memo, access, share, format)) return raise_open(e, memo);
    return true;
}

bool Table::create(const std::string& path, const std::vector<FieldDef>& fields) {
    std::string file = full_path(runtime::apply_file_case(with_default_extension(path, ".DBF")));
    std::string problem;
    std::optional<Header> h = make_header(fields, problem);
    if (!h)
        return raise_arg(gen::kCreate, subcode::kCreate, "Bad field definition: " + problem, file,
                         "create");
    h->updated = runtime::today();
    File out;
    if (int e = out.create(file)) {
        raise_io(gen::kCreate, subcode::kCreate, e, file, "create");
        return false;
    }
    std::string bytes = serialize_header(*h);
    bytes.push_back(static_cast<char>(kEndOfFile));
    if (int e = out.write_at(0, bytes.data(), bytes.size())) {
        raise_io(gen::kCreate, subcode::kCreate, e, file, "create");
        return false;
    }
    if (h->has_memo_field()) {
        MemoFile memo;
        std::string memo_path =
            full_path(runtime::apply_file_case(with_extension(file, memo_extension())));
        if (int e = memo.create(memo_path)) {
            raise_io(gen::kCreate, subcode::kCreate, e, memo_path, "create");
            return false;
        }
    }
    return true;
}

Table::~Table() {
    try {
        close();
    } catch (...) {
        // A destructor never throws; close() first to see failures.
    }
}

void Table::close() {
    if (!file_.is_open()) return;
    store_record();
    flush_pending();
    flush_header();
    unlock_all();
    orders_.flush();
    orders_.clear();
    controlling_ = 0;
    file_.close();
    memo_.close();
}

const std::string& Table::memo_path() const { return memo_.path(); }

int Table::field_pos(std::string_view name) const {
    std::string want = runtime::upper(runtime::trim(name));
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
        if (header_.fields[i].name == want) return static_cast<int>(i + 1);
    return 0;
}

// ---- reading and storing records -----------------------------------------------------

bool Table::refresh_count() { return buffered() || read_count(); }

bool Table::read_count() {
    char head[8];
    std::size_t got = 0;
    if (int e = file_.read_at(0, head, sizeof head, got)) {
        raise_io(gen::kRead, subcode::kRead, e, path_, "read");
        return false;
    }
    if (got == sizeof head) header_.count = parse_count(std::string_view(head, got));
    return true;
}

std::uint32_t Table::reccount() {
    refresh_count();
    return header_.count;
}

std::uint32_t Table::records_on_disk() const {
    return pending_count_ ? pending_first_ - 1 : header_.count;
}

bool Table::read_stored(std::uint32_t recno, std::string& out) {
    std::size_t length = header_.record_length;
    if (pending_count_ && recno >= pending_first_ && recno < pending_first_ + pending_count_) {
        out.assign(pending_, std::size_t{recno - pending_first_} * length, length);
        return true;
    }
    if (buffered() && recno <= records_on_disk()) {
        RecordCache::Result result;
        if (const char* bytes = cache_.record(file_, recno, records_on_disk(), result)) {
            out.resize(length);
            std::memcpy(out.data(), bytes, length);
            return true;
        }
        if (result.oscode) {
            raise_io(gen::kRead, subcode::kRead, result.oscode, path_, "read");
        } else {
            raise_corrupt(path_, "record " + std::to_string(result.cut_at) + " cut short", "read");
        }
        return false;
    }
    out.resize(length);
    std::size_t got = 0;
    std::uint64_t at = header_.header_length + std::uint64_t{recno - 1} * length;
    int e = file_.read_at(at, out.data(), length, got);
    if (e || got < length) {
        if (e)
            raise_io(gen::kRead, subcode::kRead, e, path_, "read");
        else
            raise_corrupt(path_, "record " + std::to_string(recno) + " cut short", "read");
        return false;
    }
    return true;
}

bool Table::load(std::uint32_t recno) {
    if (!read_stored(recno, record_)) {
        load_phantom();
        return false;
    }
    if (cipher_) cipher_->apply(recno, record_);
    recno_ = recno;
    eof_ = false;
    return true;
}

void Table::load_phantom() {
    record_.assign(header_.record_length, ' ');
    recno_ = header_.count + 1;
    eof_ = true;
}

// The setting is looked up for deleted records only: scans of live ones stay cheap.
bool Table::visible(std::uint32_t recno) { return load(recno) && !(deleted() && deleted_hidden()); }

bool Table::write_record(std::uint32_t recno, std::string_view clear, bool fresh) {
    RecordListener* orders = orders_.count() ? &orders_ : nullptr;
    if (listener_ || orders) {
        std::string before;
        if (!fresh) {
            if (!read_stored(recno, before)) before.assign(header_.record_length, ' ');
            if (cipher_) cipher_->apply(recno, before);
        }
        for (RecordListener* l : {listener_, orders})
            if (l) l->record_stored(*this, recno, before, clear);
    }
    std::string sealed;
    std::string_view bytes = clear;
    if (cipher_) {
        sealed.assign(clear);
        cipher_->apply(recno, sealed);
        bytes = sealed;
    }
    std::uint64_t at = header_.header_length + std::uint64_t{recno - 1} * header_.record_length;
    if (buffered()) {
        // Nobody else writes: new records gather in a run written in one go (flush_pending).
        std::uint32_t end = pending_first_ + pending_count_;
        if (pending_count_ && recno >= pending_first_ && recno < end) {
            pending_.replace(std::size_t{recno - pending_first_} * header_.record_length,
                             bytes.size(), bytes);
            return true;
        }
        if (fresh && (pending_count_ == 0 || recno == end)) {
            if (pending_count_ == 0) pending_first_ = recno;
            pending_ += bytes;
            ++pending_count_;
            return pending_.size() < kPendingBytes || flush_pending();
        }
        // The last record carries the end byte in the same write.
        if (recno == header_.count) {
            if (sealed.empty()) sealed.assign(bytes);
            sealed.push_back(static_cast<char>(kEndOfFile));
            bytes = sealed;
        }
    }
    int e = file_.write_at(at, bytes.data(), bytes.size());
    // The cache shows what the disk holds: the new bytes once written, else what a read
    // finds (a failed write may have put part of them there).
    if (buffered()) {
        if (e) cache_.forget(recno);
        else cache_.update(recno, bytes.data());
    }
    if (e) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "write");
        return false;
    }
    return true;
}

bool Table::flush_pending() {
    if (pending_count_ == 0) return true;
    if (pending_first_ + pending_count_ - 1 == header_.count)
        pending_.push_back(static_cast<char>(kEndOfFile));
    std::uint64_t at =
        header_.header_length + std::uint64_t{pending_first_ - 1} * header_.record_length;
    int e = file_.write_at(at, pending_.data(), pending_.size());
    std::uint32_t first = pending_first_;
    pending_.clear();
    pending_count_ = 0;
    if (e) {
        // The run is lost: the count goes back to the records on disk, so the table stays
        // whole (the failure is raised, the appends reported).
        header_.count = first - 1;
        header_dirty_ = true;
        dirty_ = appended_ = false;
        if (recno_ > header_.count) load_phantom();
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "write");
        return false;
    }
    return true;
}

bool Table::store_record() {
    if (!dirty_) return true;
    dirty_ = false;
    bool fresh = std::exchange(appended_, false);
    return write_record(recno_, record_, fresh) && touch_header();
}

// Keeps the header's date of last update true: written when it changes, or, while nobody
// else writes, with the count by flush_header().
bool Table::touch_header() {
    if (buffered()) {
        header_dirty_ = true;
        return true;
    }
    runtime::Date now = runtime::today();
    if (header_.updated == now) return true;
    header_.updated = now;
    std::string bytes = serialize_date_and_count(now, header_.count).substr(0, 3);
    if (int e = file_.write_at(1, bytes.data(), bytes.size())) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "write");
        return false;
    }
    return true;
}

bool Table::flush_header() {
    if (!header_dirty_) return true;
    header_dirty_ = false;
    header_.updated = runtime::today();
    std::string head = serialize_date_and_count(header_.updated, header_.count);
    if (int e = file_.write_at(1, head.data(), head.size())) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "write");
        return false;
    }
    return true;
}

// ---- navigation ----------------------------------------------------------------------

bool Table::go_top() {
    if (!store_record() || !refresh_count()) return false;
    if (controlling_) return order_top();
    bof_ = false;
    for (std::uint32_t n = 1; n <= header_.count; ++n)
        if (visible(n)) return true;
    load_phantom();
    bof_ = true;
    return true;
}

bool Table::go_bottom() {
    if (!store_record() || !refresh_count()) return false;
    if (controlling_) return order_bottom();
    bof_ = false;
    for (std::uint32_t n = header_.count; n >= 1; --n)
        if (visible(n)) return true;
    load_phantom();
    bof_ = true;
    return true;
}

bool Table::go_to(std::uint32_t recno) {
    if (!store_record()) return false;
    bof_ = false;
    if (recno > header_.count && !refresh_count()) return false;
    if (recno >= 1 && recno <= header_.count) return load(recno);
    load_phantom();
    return true;
}

bool Table::skip(long n) {
    if (!store_record()) return false;
    bof_ = false;
    if (n == 0) {
        if (eof_) {
            if (!refresh_count()) return false;
            load_phantom();
            return true;
        }
        return load(recno_);
    }
    if (!refresh_count()) return false;
    if (controlling_) return order_skip(n);
    std::uint32_t at = eof_ ? header_.count + 1 : recno_;
    if (n > 0) {
        for (long step = 0; step < n; ++step) {
            std::uint32_t next = at + 1;
            while (next <= header_.count && !visible(next)) ++next;
            if (next > header_.count) {
                load_phantom();
                return true;
            }
            at = next;
        }
        return true;  // visible() left record `at` loaded
    }
    for (long step = 0; step > n; --step) {
        std::uint32_t prev = at - 1;
        while (prev >= 1 && !visible(prev)) --prev;
        if (prev < 1) {
            bool ok = go_top();
            bof_ = true;
            return ok;
        }
        at = prev;
    }
    return true;
}

bool Table::deleted() const {
    return !record_.empty() && static_cast<unsigned char>(record_[0]) == kDeleted;
}

// ---- field values --------------------------------------------------------------------

std::uint32_t Table::memo_block(const Field& f) const {
    return decode_memo_block(f, record_.data() + f.offset);
}

bool Table::fail_memo(const MemoStatus& status, const char* operation) {
    if (!status.damage.empty())
        raise_corrupt(memo_.path(), status.damage, operation);
    else
        raise_io(gen::kWrite, subcode::kWrite, status.oscode, memo_.path(), operation);
    return false;
}

Value Table::decode(const Field& f) {
    if (f.type == 'M') return decode_memo(f);
    return decode_field(
        f, std::string_view(record_.data() + f.offset, static_cast<std::size_t>(f.width)));
}

Value Table::decode_memo(const Field& f) {
    std::uint32_t block = memo_block(f);
    std::string text;
    if (!memo_.is_open()) return text;
    if (block == kBadMemoBlock) {
        raise_corrupt(path_, "bad memo block number in " + f.name, "read");
        return text;
    }
    if (MemoStatus s = memo_.read(block, text); !s.ok()) {
        if (!s.damage.empty())
            raise_corrupt(memo_.path(), s.damage, "read");
        else
            raise_io(gen::kRead, subcode::kRead, s.oscode, memo_.path(), "read");
        return std::string();
    }
    return text;
}

bool Table::encode(const Field& f, const Value& value) {
    if (f.type == 'M') return encode_memo(f, value);
    Encoded result = encode_field(f, value, record_.data() + f.offset);
    return result == Encoded::kDone || refuse_value(f, result);
}

bool Table::encode_memo(const Field& f, const Value& value) {
    if (!value.is_text()) return refuse_value(f, Encoded::kWrongType);
    if (!memo_.is_open() || memo_.format() != MemoFormat::kFoxBlocks || f.width != 10)
        return refuse_value(f, Encoded::kReadOnly);
    std::uint32_t old = memo_block(f);
    std::uint32_t block = 0;
    MemoStatus s =
        memo_.write(value.text(), old == kBadMemoBlock ? 0 : old, options_.shared, block);
    if (!s.ok()) return fail_memo(s, "put");
    encode_memo_block(block, record_.data() + f.offset);
    return true;
}

bool Table::refuse_value(const Field& f, Encoded why) {
    switch (why) {
        case Encoded::kWrongType:
            return raise_arg(gen::kDataType, subcode::kDataType, "Data type error: " + f.name,
                             path_, "put");
        case Encoded::kTooWide:
            return raise_arg(gen::kDataWidth, subcode::kDataWidth, "Data width error: " + f.name,
                             path_, "put");
        default:
            // A memo field takes text; it is refused only when its memo layout is not ours.
            return raise_arg(
                gen::kReadOnly, subcode::kReadOnly,
                (f.type == 'M' ? "Memo format is read-only: " : "Field type is read-only: ") +
                    f.name,
                path_, "put");
    }
}

Value Table::get(int pos) {
    if (pos < 1 || pos > static_cast<int>(header_.fields.size())) {
        raise_arg(gen::kArgument, subcode::kNoSuchName, "No such field", path_, "get");
        return Value();
    }
    return decode(header_.fields[static_cast<std::size_t>(pos - 1)]);
}

Value Table::get(std::string_view name) {
    int pos = field_pos(name);
    if (pos == 0) {
        raise_arg(gen::kNoVariable, subcode::kNoSuchName, "No such field: " + std::string(name),
                  path_, "get");
        return Value();
    }
    return get(pos);
}

bool Table::writable(const char* operation) {
    if (options_.read_only)
        return raise_arg(gen::kReadOnly, subcode::kReadOnly, "Table is read-only", path_,
                         operation);
    if (eof_) return false;
    if (options_.shared && !table_locked_ && !locked_.count(recno_))
        return raise_arg(gen::kUnlocked, subcode::kUnlocked, "Record not locked", path_, operation);
    return true;
}

bool Table::put(int pos, const Value& value) {
    if (pos < 1 || pos > static_cast<int>(header_.fields.size()))
        return raise_arg(gen::kArgument, subcode::kNoSuchName, "No such field", path_, "put");
    if (!writable("put")) return false;
    if (!encode(header_.fields[static_cast<std::size_t>(pos - 1)], value)) return false;
    dirty_ = true;
    return true;
}

bool Table::put(std::string_view name, const Value& value) {
    int pos = field_pos(name);
    if (pos == 0)
        return raise_arg(gen::kNoVariable, subcode::kNoSuchName,
                         "No such field: " + std::string(name), path_, "put");
    return put(pos, value);
}

// ---- append, delete, commit, zap -----------------------------------------------------

bool Table::append_blank() {
    set_network_error(false);
    if (options_.read_only)
        return raise_arg(gen::kReadOnly, subcode::kReadOnly, "Table is read-only", path_, "append");
    if (!store_record()) return false;
    if (buffered()) {
        // Nobody else writes: the new record reaches the disk with its first store (in a
        // run of them) and the count with the next commit, unlock or close.
        header_.count += 1;
        header_dirty_ = true;
        record_.assign(header_.record_length, ' ');
        recno_ = header_.count;
        eof_ = bof_ = false;
        dirty_ = appended_ = true;
        return true;
    }
    if (!take_append_lock(file_)) {
        runtime::raise({.gencode = gen::kAppendLock,
                        .subcode = subcode::kAppendLock,
                        .oscode = oscode::kLockViolation,
                        .subsystem = kSubsystem,
                        .description = "Append lock failed",
                        .filename = path_,
                        .operation = "append",
                        .candefault = true});
        return false;
    }
    bool ok = refresh_count();
    std::uint32_t n = header_.count + 1;
    std::string blank(header_.record_length, ' ');
    ok = ok && write_record(n, blank, true);
    if (ok) {
        char end = static_cast<char>(kEndOfFile);
        std::uint64_t at = header_.header_length + std::uint64_t{n} * header_.record_length;
        runtime::Date now = runtime::today();
        std::string head = serialize_date_and_count(now, n);
        int e = file_.write_at(at, &end, 1);
        if (!e) e = file_.write_at(1, head.data(), head.size());
        if (e) {
            raise_io(gen::kWrite, subcode::kWrite, e, path_, "append");
            ok = false;
        }
        header_.count = n;
        header_.updated = now;
    }
    // The new record is locked before the append lock goes: released first, another
    // process's table lock could come in between and leave the record unlocked.
    if (ok) lock_record(n);
    file_.unlock(kAppendLockOffset, 1);
    if (!ok) return false;
    record_ = blank;
    recno_ = n;
    eof_ = bof_ = false;
    return true;
}

bool Table::remove() {
    if (!writable("delete")) return false;
    record_[0] = static_cast<char>(kDeleted);
    dirty_ = true;
    return true;
}

bool Table::recall() {
    if (!writable("recall")) return false;
    record_[0] = static_cast<char>(kLive);
    dirty_ = true;
    return true;
}

bool Table::commit() {
    if (!store_record() || !flush_pending() || !flush_header() || !orders_.flush()) return false;
    if (options_.read_only) return true;
    if (int e = file_.sync()) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "commit");
        return false;
    }
    if (memo_.is_open())
        if (MemoStatus s = memo_.sync(); !s.ok()) return fail_memo(s, "commit");
    return true;
}

bool Table::zap() {
    if (options_.read_only)
        return raise_arg(gen::kReadOnly, subcode::kReadOnly, "Table is read-only", path_, "zap");
    if (options_.shared)
        return raise_arg(gen::kShared, subcode::kExclusive, "Exclusive use required", path_, "zap");
    dirty_ = appended_ = header_dirty_ = false;
    pending_count_ = 0;
    pending_.clear();
    cache_.clear();
    if (listener_) listener_->records_cleared(*this);
    orders_.records_cleared(*this);
    char end = static_cast<char>(kEndOfFile);
    runtime::Date now = runtime::today();
    std::string head = serialize_date_and_count(now, 0);
    int e = file_.truncate(header_.header_length);
    if (!e) e = file_.write_at(header_.header_length, &end, 1);
    if (!e) e = file_.write_at(1, head.data(), head.size());
    if (e) {
        raise_io(gen::kWrite, subcode::kWrite, e, path_, "zap");
        return false;
    }
    header_.count = 0;
    header_.updated = now;
    if (memo_.is_open() && memo_.format() == MemoFormat::kFoxBlocks)
        if (MemoStatus s = memo_.clear(); !s.ok()) return fail_memo(s, "zap");
    return go_top();
}

// ---- locks ---------------------------------------------------------------------------

bool Table::is_locked(std::uint32_t recno) const {
    return !options_.shared || table_locked_ || locked_.count(recno) != 0;
}

bool Table::lock_record(std::uint32_t recno) {
    if (!options_.shared || table_locked_) return true;
    if (recno < 1 || recno > kMaxLockableRecord || recno > reccount()) return false;
    if (!store_record()) return false;
    for (auto it = locked_.begin(); it != locked_.end();) {
        if (*it == recno) {
            ++it;
            continue;
        }
        file_.unlock(record_lock_offset(*it), 1);
        it = locked_.erase(it);
    }
    if (locked_.count(recno)) return true;
    if (!file_.try_lock(record_lock_offset(recno), 1)) return false;
    locked_.insert(recno);
    return true;
}

bool Table::lock_table() {
    if (!options_.shared || table_locked_) return true;
    unlock_all();
    if (!file_.try_lock(kLockBase, kLockLength)) return false;
    // Held, nobody else appends or writes: the count read now stays true, records may be
    // kept in memory and new ones gathered until the lock is released.
    table_locked_ = true;
    cache_.clear();
    if (read_count()) return true;
    unlock_all();
    return false;
}

void Table::unlock_all() {
    store_record();
    if (table_locked_) {
        // Others see the new records and their count before they may write again.
        flush_pending();
        flush_header();
        cache_.clear();
    }
    for (std::uint32_t n : locked_) file_.unlock(record_lock_offset(n), 1);
    locked_.clear();
    if (table_locked_) file_.unlock(kLockBase, kLockLength);
    table_locked_ = false;
}

void Table::set_password(std::string_view password) {
    store_record();
    if (password.empty())
        cipher_.reset();
    else
        cipher_.emplace(password);
    if (!eof_) load(recno_);
}

}  // namespace dbf
