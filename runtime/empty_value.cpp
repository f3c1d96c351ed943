#include "runtime/empty_value.h"

namespace runtime {

bool is_empty_value(const Value& value) {
    switch (value.kind()) {
        case Kind::kNothing:
            return true;
        case Kind::kLogical:
            return !value.logical();
        case Kind::kNumber:
            return value.number() == 0;
        case Kind::kDate:
            return value.date().empty();
        case Kind::kDateTime:
            return value.datetime().date.empty() && value.datetime().milliseconds == 0;
        case Kind::kText:
            return value.text().find_first_not_of(" \t\r\n") == std::string::npos;
        case Kind::kList:
            return value.items().empty();
        case Kind::kObject:
        case Kind::kCallback:
            return false;
    }
    return false;
}

}  // namespace runtime
