#include "dbf/order.h"

#include <algorithm>

#include "dbf/errors.h"
#include "dbf/field_codec.h"
#include "runtime/text1252.h"

namespace dbf {
namespace {

bool raise_bad(const std::string& what, const std::string& file) {
    runtime::raise({.gencode = runtime::gencode::kDataType,
                    .subcode = subcode::kBadOrder,
                    .subsystem = kSubsystem,
                    .description = what,
                    .filename = file,
                    .operation = "order"});
    return false;
}

std::optional<runtime::Expression> compile(const std::string& text) {
    runtime::Error error;
    std::optional<runtime::Expression> e = runtime::Expression::compile(text, error);
    if (!e) runtime::raise(error);
    return e;
}

// Notes whether an error was raised while it lives, passing each on to the handler: a
// key expression that failed on the blank record gives the handler's substitute, not a
// key type to trust.
class RaiseWatch {
public:
    RaiseWatch() {
        previous_ = runtime::install_error_handler([this](const runtime::Error& e) {
            raised_ = true;
            return previous_ ? previous_(e) : runtime::Value(false);
        });
    }
    ~RaiseWatch() { runtime::install_error_handler(previous_); }
    RaiseWatch(const RaiseWatch&) = delete;
    RaiseWatch& operator=(const RaiseWatch&) = delete;
    bool raised() const { return raised_; }

private:
    runtime::ErrorHandler previous_;
    bool raised_ = false;
};

// Names are told apart by their first 10 characters, as long as a field's name can be.
const Field* field_named(const Header& header, std::string_view name) {
    std::string want = runtime::upper(name.substr(0, std::min(name.size(), kMaxFieldName)));
    for (const Field& f : header.fields)
        if (f.name == want) return &f;
    return nullptr;
}

}  // namespace

RecordFields::Lookup RecordFields::field(std::string_view alias, std::string_view name,
                                         runtime::Value& out) {
    if (!alias.empty()) return Lookup::kNoAlias;
    const Field* f = field_named(header_, name);
    if (f == nullptr || record_.size() < f->offset + static_cast<std::size_t>(f->width))
        return Lookup::kNoField;
    out = decode_field(*f, record_.substr(f->offset, static_cast<std::size_t>(f->width)));
    return Lookup::kFound;
}

bool RecordFields::deleted() {
    return !record_.empty() && static_cast<unsigned char>(record_[0]) == kDeleted;
}

std::optional<std::pair<KeyType, std::size_t>> Order::probe(const std::string& key_text,
                                                            const Header& header,
                                                            const std::string& file,
                                                            std::size_t key_length) {
    std::optional<runtime::Expression> key = compile(key_text);
    if (!key) return std::nullopt;
    std::string blank(header.record_length, ' ');
    RecordFields fields(header, blank, 0);
    runtime::Value v;
    {
        RaiseWatch watch;
        v = key->evaluate(&fields);
        if (watch.raised()) return std::nullopt;
    }
    std::optional<KeyType> type = key_type_of(v, key_length);
    if (!type) {
        raise_bad("Key expression gives no key: " + key_text, file);
        return std::nullopt;
    }
    std::size_t length = key_length_of(*type, v);
    if (length == 0) {
        raise_bad("Key expression gives an empty key: " + key_text, file);
        return std::nullopt;
    }
    return std::make_pair(*type, length);
}

std::optional<Order> Order::bind(IndexFile& file, const TagInfo& tag, const Header& header) {
    std::optional<std::pair<KeyType, std::size_t>> probed = probe(tag.key_text, header, file.path(), tag.key_length);
    if (!probed) return std::nullopt;
    Order order;
    order.file_ = &file;
    order.tag_ = tag;
    order.type_ = probed->first;
    order.key_ = compile(tag.key_text);
    if (std::optional<std::string> name = order.key_->field_name()) {
        const Field* f = field_named(header, *name);
        if (f != nullptr && f->type == 'C' && static_cast<std::size_t>(f->width) == tag.key_length)
            order.key_offset_ = f->offset;
    }
    if (!tag.for_text.empty()) {
        order.for_ = compile(tag.for_text);
        if (!order.for_) return std::nullopt;
    }
    return order;
}

std::optional<std::string> Order::key_of(const Header& header, std::string_view record,
                                         std::uint32_t recno) const {
    RecordFields fields(header, record, recno);
    if (for_) {
        runtime::Value keep = for_->evaluate(&fields);
        if (!keep.is_logical() || !keep.logical()) return std::nullopt;
    }
    if (key_offset_ && record.size() >= *key_offset_ + tag_.key_length)
        return std::string(record.substr(*key_offset_, tag_.key_length));
    std::optional<std::string> key =
        encode_key(key_->evaluate(&fields), type_, tag_.key_length);
    if (key) return key;
    // A key of another type cannot be placed: the record gets the blank key, so the
    // order stays whole, and the fault is raised.
    raise_bad("Key expression changed its type: " + tag_.key_text, file_->path());
    return std::string(tag_.key_length, key_pad(type_));
}

std::optional<std::string> Order::seek_key(const runtime::Value& value) const {
    return seek_bytes(value, type_, tag_.key_length);
}

}  // namespace dbf
