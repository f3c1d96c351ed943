// The expression texts of the table engine and the library (key expressions, conditions,
// `{|a| ...}` blocks, calls of named procedures), compiled once and evaluated against the
// current record.
//
// Grammar, loosest first:   .OR.   .AND.   .NOT. / !   = == != <> # < > <= >= $
//                           + -    * / %   ** ^   unary + -   primary
// primary: a number, "text" 'text' [text], .T. .F. .Y. .N., NIL, a name (a block
// parameter, a field of the current table, or a named setting, in that order),
// alias->field (FIELD->name and M->setting too), name(arguments), (expression),
// {|params| expression, ...}.
// "=" on texts is the prefix test (a text equals every text it begins with, and any text
// equals ""); "==" is exact equality. Names and keywords ignore case.
//
// A text that does not compile, and any failure while evaluating (a missing name, a wrong
// kind of operand, a bad argument), becomes an error record handed to runtime::raise; the
// handler's answer is the expression's result (division by zero: its substitute, 0).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/value.h"

namespace runtime {

// What an expression sees of the tables; the table engine fills it in.
class FieldResolver {
public:
    enum class Lookup { kFound, kNoField, kNoAlias };
    virtual ~FieldResolver() = default;
    // Field `name` of the table in the work area `alias` (empty: the current one).
    virtual Lookup field(std::string_view alias, std::string_view name, Value& out) = 0;
    // The current table's record number and deleted flag (0 and false without a table).
    virtual double recno() = 0;
    virtual bool deleted() = 0;
};

struct ExprNode;

class Expression {
public:
    // Nothing, with the error record filled in, when the text does not compile.
    static std::optional<Expression> compile(std::string_view text, Error& error);

    // Evaluates against `fields` (may be null: no table is open).
    Value evaluate(FieldResolver* fields) const;
    const std::string& text() const { return text_; }
    // The name when the whole expression is one name that a field answers first (a key
    // that is a plain field); nothing otherwise.
    std::optional<std::string> field_name() const;

private:
    std::string text_;
    std::shared_ptr<const ExprNode> root_;
};

// Compiles and evaluates in one step; a text that does not compile is raised.
Value evaluate_text(std::string_view text, FieldResolver* fields);

// Named procedures an application adds (server mode calls `Manutenzione( .F. )` this
// way). Names ignore case; a later registration replaces an earlier one. The built-in
// functions take precedence over registered ones.
void register_procedure(std::string_view name, Callback procedure);
void unregister_procedure(std::string_view name);

}  // namespace runtime
