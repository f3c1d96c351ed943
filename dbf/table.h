// One open DBF table with its memo file: the current record, navigation, field access,
// deletion, locks, commit and zap. Layout of the files: header.h and memo.h; lock bytes:
// lock_scheme.h; record encryption: record_cipher.h.
//
// Every record reaches the file through one place, write_record(), which first tells the
// table's RecordListener (record_listener.h; the open orders listen there). A record
// changed by put/remove/recall is held in memory and stored (store_record) when the table
// moves off it, commits, unlocks or closes; a shared append writes its blank record at
// once.
//
// Shared, every read goes to the disk and an append writes record, end byte and count at
// once under the append lock, so other processes see it. While nobody else can write
// (opened exclusively, or under this process's table lock), records are kept in memory
// (record_cache.h), new records gather in runs of up to 64 KiB written at once, and the
// header's count and date are written by commit, close and the release of the table lock.
//
// Orders (table_orders.cpp): index files added to the table, one controlling order that
// top, bottom, skip, seek and locate follow (0: the natural order of record numbers), and
// each order's scopes. Every record write keeps all the table's orders up to date.
//
// Failures raise an error record (errors.h) and the operation then reports failure
// (false, or nothing), unless the handler abandons it (runtime::Break) first.
// Used by the user-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dbf/field_codec.h"
#include "dbf/file_io.h"
#include "dbf/header.h"
#include "dbf/memo.h"
#include "dbf/order_list.h"
#include "dbf/record_cache.h"
#include "dbf/record_cipher.h"
#include "dbf/record_listener.h"
#include "runtime/value.h"

namespace dbf {

// What an order build takes besides the key: a FOR condition kept in the file as
// typed, a condition callback evaluated with the table on each record (for the build
// only), only the records the controlling order shows, one key per value.
struct OrderCondition {
    std::string for_text;
    runtime::Value for_block;
    bool use_current = false;
    bool unique = false;
};
struct OrderInfo {
    std::string name;  // empty for the natural order
    std::string key;
    std::string condition;
    std::string file;  // the full path of the file holding the order
    bool unique = false;
    bool descending = false;
};
// Which end of an order's scope.
enum class Bound { kTop, kBottom };

class Table {
public:
    struct Options {
        bool shared = true;
        bool read_only = false;
    };

    // `path` names the table file as the program gives it (extension ".DBF" when absent,
    // file-name case applied). Nothing after raising the error record on failure.
    static std::unique_ptr<Table> open(const std::string& path, Options options);
    // Creates the table (and its memo file when a field is M); false after raising.
    static bool create(const std::string& path, const std::vector<FieldDef>& fields);

    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Stores a pending change and releases the files; the destructor does the same.
    void close();

    const std::string& path() const { return path_; }
    const std::string& memo_path() const;
    const Header& header() const { return header_; }
    const std::vector<Field>& fields() const { return header_.fields; }
    // 1-based position of a field by name (ignoring case); 0 when there is none.
    int field_pos(std::string_view name) const;
    bool shared() const { return options_.shared; }
    bool read_only() const { return options_.read_only; }

    // Navigation. Deleted records are skipped when the "DeletedHidden" setting is on.
    bool go_top();
    bool go_bottom();
    bool go_to(std::uint32_t recno);
    // Moves n visible records (0 re-reads the current one from the disk).
    bool skip(long n);
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    std::uint32_t recno() const { return recno_; }
    // The count on disk: other processes' appends show at once in a shared table.
    std::uint32_t reccount();
    bool deleted() const;
    // The current record's bytes, in clear (the deletion flag first).
    std::string_view record() const { return record_; }

    // Field values by 1-based position; nothing (after raising) for a bad position.
    runtime::Value get(int pos);
    runtime::Value get(std::string_view name);
    bool put(int pos, const runtime::Value& value);
    bool put(std::string_view name, const runtime::Value& value);

    // A blank record at the end, made current (and locked, in a shared table).
    bool append_blank();
    bool remove();  // marks the current record deleted
    bool recall();
    // Stores a pending change and hands both files to the disk.
    bool commit();
    // Stores a pending change, then reads the current record again from the disk.
    bool reread() { return skip(0); }
    // Removes all records; exclusive use only.
    bool zap();

    // Locks answer at once. A record lock releases this table's other locks.
    bool lock_record(std::uint32_t recno);
    bool lock_record() { return lock_record(recno_); }
    bool lock_table();
    void unlock_all();
    bool is_locked(std::uint32_t recno) const;
    bool table_locked() const { return table_locked_; }

    // From now on records are decrypted on reading and encrypted on writing with this
    // password (record_cipher.h); the empty text turns encryption off.
    void set_password(std::string_view password);

    void set_listener(RecordListener* listener) { listener_ = listener; }

    // ---- orders ----------------------------------------------------------------------

    // Opens an index file (".CDX" when the name has no extension) and adds its orders
    // after those of the files added before; its first order becomes controlling when
    // none is. A file already added changes nothing.
    bool order_add(const std::string& path);
    // Makes the tag (named after the file when `tag` is empty) in the file, made when
    // absent and added when not yet added, builds its keys from the records, makes it the
    // controlling order and goes to its top.
    bool order_create(const std::string& path, const std::string& tag, const std::string& key,
                      const OrderCondition& condition = {});
    // Closes every index file of the table; the natural order is controlling.
    void order_clear();
    int order_count() const { return orders_.count(); }
    int order() const { return controlling_; }
    // By number (0 natural, 1..order_count()) or tag name ("" natural); false, nothing
    // changed, when there is none such.
    bool set_order(int n);
    bool set_order(std::string_view name);
    // Order n (0: the controlling one); empty fields when there is none.
    OrderInfo order_info(int n = 0) const;
    const OrderList& orders() const { return orders_; }

    // Goes to the first visible record in the controlling order whose key begins with
    // `key` (found() tells). When none: a soft seek stays on the next key in order, an
    // exact one goes to the end.
    bool seek(const runtime::Value& key, bool soft = false);
    bool found() const { return found_; }
    // The controlling order's scopes: keys before the top or after the bottom (texts:
    // compared on their length) are out of sight. Nothing clears a bound.
    bool set_scope(Bound bound, const runtime::Value& value);
    runtime::Value scope(Bound bound) const;
    // The keys of the controlling order within its scopes (natural order: reccount()).
    long key_count();
    // The first record from the top, or from the current one on, for which the condition
    // holds (found() tells); the end when none.
    bool locate(std::string_view condition, bool from_top);

private:
    Table() = default;

    // Opening for writing: drops records written past the count by a writer that ended
    // before it wrote the count, unless another process appends or holds the table lock.
    // False after raising.
    bool roll_back_uncommitted();
    // Nobody else can write the table now.
    bool buffered() const { return !options_.shared || table_locked_; }
    bool load(std::uint32_t recno);
    // The stored bytes of a record (as on disk: encrypted when the table is), from the
    // run of new records, the cache or the file.
    bool read_stored(std::uint32_t recno, std::string& out);
    std::uint32_t records_on_disk() const;
    void load_phantom();
    bool visible(std::uint32_t recno);
    // Writes the current record's pending change (and keeps the header's date true).
    bool store_record();
    // The one way a record goes to the file: tells the listener, then writes the bytes
    // (or gathers them, while buffered). `fresh`: a new record's first write.
    bool write_record(std::uint32_t recno, std::string_view clear, bool fresh);
    bool flush_pending();
    bool writable(const char* operation);
    bool touch_header();
    bool flush_header();
    // The count from the disk, unless nobody else can append (read_count: always).
    bool refresh_count();
    bool read_count();
    runtime::Value decode(const Field& f);
    runtime::Value decode_memo(const Field& f);
    // Writes the value into the current record, or raises and leaves it unchanged.
    bool encode(const Field& f, const runtime::Value& value);
    bool encode_memo(const Field& f, const runtime::Value& value);
    // Raises why the value does not go into the field; false.
    bool refuse_value(const Field& f, Encoded why);
    bool open_memo(const std::string& table_path);
    std::uint32_t memo_block(const Field& f) const;
    bool fail_memo(const MemoStatus& status, const char* operation);
    // Navigation in the controlling order (table_orders.cpp).
    bool order_top();
    bool order_bottom();
    bool order_skip(long n);
    // The visible record at or after `from` in the order's direction, loaded.
    bool settle_forward(std::optional<cdx::Entry> from);
    bool settle_backward(std::optional<cdx::Entry> from);
    bool raise_order(const std::string& what, const char* operation);

    std::string path_;
    Options options_;
    File file_;
    MemoFile memo_;
    Header header_;
    std::string record_;  // current record, in clear
    std::uint32_t recno_ = 0;
    bool bof_ = false;
    bool eof_ = true;
    bool dirty_ = false;
    bool appended_ = false;      // the current record is new and not yet on disk
    bool header_dirty_ = false;  // buffered: the header's count and date are not yet written
    RecordCache cache_;          // buffered only
    // Buffered only: new records not yet written (as on disk), a run from pending_first_.
    static constexpr std::size_t kPendingBytes = 64 * 1024;
    std::string pending_;
    std::uint32_t pending_first_ = 0;
    std::uint32_t pending_count_ = 0;
    std::set<std::uint32_t> locked_;
    bool table_locked_ = false;
    std::optional<RecordCipher> cipher_;
    RecordListener* listener_ = nullptr;
    OrderList orders_{header_};
    int controlling_ = 0;
    bool found_ = false;
};

}  // namespace dbf
