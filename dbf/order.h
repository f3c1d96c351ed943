// One order of a table: a tag of an index file with its key expression (and FOR
// condition) compiled, the type of its keys, and the keys of records computed from their
// bytes. The tree of its keys is cdx_tree.h; navigation in its order is the table's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "dbf/cdx_key.h"
#include "dbf/cdx_tree.h"
#include "dbf/header.h"
#include "dbf/index_file.h"
#include "runtime/expr.h"

namespace dbf {

// Field values of one record's bytes (in clear) for the expressions of an order: the
// key is computed from the record going to the file, not from the table's current one.
class RecordFields : public runtime::FieldResolver {
public:
    RecordFields(const Header& header, std::string_view record, std::uint32_t recno)
        : header_(header), record_(record), recno_(recno) {}
    Lookup field(std::string_view alias, std::string_view name, runtime::Value& out) override;
    double recno() override { return recno_; }
    bool deleted() override;

private:
    const Header& header_;
    std::string_view record_;
    std::uint32_t recno_;
};

class Order {
public:
    // Compiles the tag's texts against the table's fields and finds its key type from a
    // blank record; nothing after raising when they do not make keys.
    static std::optional<Order> bind(IndexFile& file, const TagInfo& tag, const Header& header);
    // The type a key expression gives on a blank record (for a tag of `key_length`, 0
    // for a new one), and its key length; nothing after raising when it gives no key.
    static std::optional<std::pair<KeyType, std::size_t>> probe(const std::string& key_text,
                                                                const Header& header,
                                                                const std::string& file,
                                                                std::size_t key_length = 0);

    IndexFile& file() const { return *file_; }
    const TagInfo& tag() const { return tag_; }
    KeyType key_type() const { return type_; }
    CdxTree tree() const { return CdxTree(*file_, tag_.root, tag_.key_length, key_pad(type_)); }

    // The record's key, or nothing when its FOR condition leaves the record out.
    std::optional<std::string> key_of(const Header& header, std::string_view record,
                                      std::uint32_t recno) const;
    // The key of a value, as a seek or a scope looks for it (a prefix for texts).
    std::optional<std::string> seek_key(const runtime::Value& value) const;

private:
    Order() = default;
    IndexFile* file_ = nullptr;
    TagInfo tag_;
    KeyType type_ = KeyType::kCharacter;
    std::optional<runtime::Expression> key_;
    std::optional<runtime::Expression> for_;
    // Where a key that is one character field as long as the key lies in the record: the
    // field's bytes are the key, without evaluating the expression.
    std::optional<std::size_t> key_offset_;
};

}  // namespace dbf
