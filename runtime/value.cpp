#include "runtime/value.h"

namespace runtime {

Value Value::call(std::vector<Value> args) const {
    if (is_nothing()) return {};
    return (*std::get<std::shared_ptr<Callback>>(v_))(args);
}

bool operator==(const Value& a, const Value& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
        case Kind::kNothing: return true;
        case Kind::kLogical: return a.logical() == b.logical();
        case Kind::kNumber: return a.number() == b.number();
        case Kind::kDate: return a.date() == b.date();
        case Kind::kDateTime: return a.datetime() == b.datetime();
        case Kind::kText: return a.text() == b.text();
        case Kind::kList: return a.list_ref() == b.list_ref();
        case Kind::kObject: return a.object() == b.object();
        case Kind::kCallback:
            return std::get<std::shared_ptr<Callback>>(a.v_) ==
                   std::get<std::shared_ptr<Callback>>(b.v_);
    }
    return false;
}

char kind_letter(const Value& v) {
    static constexpr char kLetters[] = {'U', 'L', 'N', 'D', 'T', 'C', 'A', 'O', 'B'};
    return kLetters[static_cast<int>(v.kind())];
}

}  // namespace runtime
