#include "dbf/reindex.h"

#include "dbf/engine_settings.h"
#include "dbf/errors.h"
#include "dbf/index_file.h"
#include "runtime/fs.h"

namespace dbf {

bool reindex(Table& table, const std::string& index_path) {
    std::vector<TagInfo> tags;
    {
        // Only the tag headers are read: the trees may be what is damaged.
        std::unique_ptr<IndexFile> old = IndexFile::open(index_path, {.shared = true, .read_only = true});
        if (!old) return false;
        tags = old->tags();
    }
    std::string fresh = with_extension(index_path, ".$RX");
    if (file_exists(fresh)) remove_file(fresh);
    bool ok = true;
    for (const TagInfo& tag : tags) {
        OrderCondition condition;
        condition.for_text = tag.for_text;
        condition.unique = tag.unique();
        if (!table.order_create(fresh, tag.name, tag.key_text, condition)) {
            ok = false;
            break;
        }
    }
    // Descending tags come back ascending: the order we write.
    table.order_clear();
    if (!ok) {
        remove_file(fresh);
        return false;
    }
    if (int e = runtime::replace_file(fresh, index_path)) {
        raise_io(runtime::gencode::kWrite, subcode::kWrite, e, index_path, "reindex");
        remove_file(fresh);
        return false;
    }
    return true;
}

}  // namespace dbf
