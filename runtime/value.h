// The library's dynamically typed value: nothing, logical, number (with an optional
// declared width and decimals), date, date-time, text, list, object or callback.
// "Nothing" is its own kind, distinct from false, 0 and "".
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "runtime/date.h"

namespace runtime {

class Value;

// Lists and objects are shared, as the library's arrays and objects are: copying the
// value copies the reference. Lists are 1-based at the library's surface (at()).
using List = std::vector<Value>;
using ListRef = std::shared_ptr<List>;

// Any library object held in a value (a dialog, a control, a wait box).
class Object {
public:
    virtual ~Object() = default;
};
using ObjectRef = std::shared_ptr<Object>;

using Callback = std::function<Value(std::vector<Value>&)>;

struct Number {
    double value = 0;
    int width = -1;     // declared field width, -1 when none
    int decimals = -1;  // declared decimals, -1 when none
};

struct DateTime {
    Date date;
    std::int32_t milliseconds = 0;  // since midnight
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

enum class Kind { kNothing, kLogical, kNumber, kDate, kDateTime, kText, kList, kObject, kCallback };

class Value {
public:
    Value() = default;
    Value(bool b) : v_(b) {}
    Value(int n) : v_(Number{static_cast<double>(n)}) {}
    Value(long n) : v_(Number{static_cast<double>(n)}) {}
    Value(long long n) : v_(Number{static_cast<double>(n)}) {}
    Value(double n) : v_(Number{n}) {}
    Value(Number n) : v_(n) {}
    Value(Date d) : v_(d) {}
    Value(DateTime t) : v_(t) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    Value(ListRef l) : v_(std::move(l)) {}
    Value(ObjectRef o) : v_(std::move(o)) {}
    Value(Callback c) : v_(std::make_shared<Callback>(std::move(c))) {}

    static Value list(List items = {}) { return Value(std::make_shared<List>(std::move(items))); }
    static Value number(double n, int width, int decimals) { return Value(Number{n, width, decimals}); }

    Kind kind() const { return static_cast<Kind>(v_.index()); }
    bool is_nothing() const { return kind() == Kind::kNothing; }
    bool is_logical() const { return kind() == Kind::kLogical; }
    bool is_number() const { return kind() == Kind::kNumber; }
    bool is_date() const { return kind() == Kind::kDate; }
    bool is_datetime() const { return kind() == Kind::kDateTime; }
    bool is_text() const { return kind() == Kind::kText; }
    bool is_list() const { return kind() == Kind::kList; }
    bool is_object() const { return kind() == Kind::kObject; }
    bool is_callback() const { return kind() == Kind::kCallback; }

    // Accessors of one kind; asking for the wrong kind throws std::bad_variant_access,
    // a programming fault, not a runtime condition of the program.
    bool logical() const { return std::get<bool>(v_); }
    double number() const { return std::get<Number>(v_).value; }
    const Number& number_info() const { return std::get<Number>(v_); }
    Date date() const { return std::get<Date>(v_); }
    const DateTime& datetime() const { return std::get<DateTime>(v_); }
    const std::string& text() const { return std::get<std::string>(v_); }
    std::string& text() { return std::get<std::string>(v_); }
    const ListRef& list_ref() const { return std::get<ListRef>(v_); }
    List& items() const { return *std::get<ListRef>(v_); }
    // The n-th item of a list, counting from 1.
    Value& at(std::size_t n) const { return items().at(n - 1); }
    const ObjectRef& object() const { return std::get<ObjectRef>(v_); }
    template <class T>
    std::shared_ptr<T> object_as() const {
        return is_object() ? std::dynamic_pointer_cast<T>(object()) : nullptr;
    }
    // Calls a callback value; calling nothing yields nothing, as an absent block does.
    Value call(std::vector<Value> args = {}) const;

    // Same kind and same content; lists and objects compare by identity.
    friend bool operator==(const Value& a, const Value& b);

private:
    std::variant<std::monostate, bool, Number, Date, DateTime, std::string, ListRef, ObjectRef,
                 std::shared_ptr<Callback>>
        v_;
};

// Kind name as the library reports it ("U" nothing, "L", "N", "D", "T", "C", "A", "O", "B").
char kind_letter(const Value& v);

}  // namespace runtime
