// Sections: tokens; the tree and the parser; operators; evaluation.
#include "runtime/expr.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

#include "runtime/expr_functions.h"
#include "runtime/number_text.h"
#include "runtime/settings.h"
#include "runtime/text1252.h"

namespace runtime {

// ---- tokens --------------------------------------------------------------------------

namespace {

enum class Tok { kEnd, kNumber, kText, kName, kLogical, kNil, kOp };

struct Token {
    Tok kind = Tok::kEnd;
    std::string text;  // operator spelling (".AND." as "AND"), name (upper case), text
    double number = 0;
    int decimals = 0;
    bool logical = false;
    std::size_t at = 0;
};

ExprFailure syntax(std::size_t at, const std::string& what) {
    return expr_failure(gencode::kSyntax, base_subcode::kSyntax,
                        "Syntax error: " + what + " at " + std::to_string(at + 1), "compile");
}

bool name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (true) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n')) ++i;
        Token t;
        t.at = i;
        if (i >= s.size()) {
            out.push_back(t);
            return out;
        }
        char c = s[i];
        if (c == '.') {
            // .T. .F. .Y. .N. .AND. .OR. .NOT. or a number such as .5
            std::size_t end = s.find('.', i + 1);
            std::string word = end == std::string::npos ? "" : upper(s.substr(i + 1, end - i - 1));
            if (word == "T" || word == "Y" || word == "F" || word == "N") {
                t.kind = Tok::kLogical;
                t.logical = word == "T" || word == "Y";
                i = end + 1;
                out.push_back(t);
                continue;
            }
            if (word == "AND" || word == "OR" || word == "NOT") {
                t.kind = Tok::kOp;
                t.text = word;
                i = end + 1;
                out.push_back(t);
                continue;
            }
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            std::size_t start = i;
            while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
            if (i < s.size() && s[i] == '.' && i + 1 < s.size() &&
                std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
                std::size_t dot = i++;
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
                t.decimals = static_cast<int>(i - dot - 1);
            }
            t.kind = Tok::kNumber;
            t.number = leading_number(s.substr(start, i - start));
            out.push_back(t);
            continue;
        }
        if (c == '"' || c == '\'' || c == '[') {
            char close = c == '[' ? ']' : c;
            std::size_t end = s.find(close, i + 1);
            if (end == std::string::npos) throw syntax(i, "unterminated text");
            t.kind = Tok::kText;
            t.text = std::string(s.substr(i + 1, end - i - 1));
            i = end + 1;
            out.push_back(t);
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            std::size_t start = i;
            while (i < s.size() && name_char(s[i])) ++i;
            t.text = upper(s.substr(start, i - start));
            t.kind = t.text == "NIL" ? Tok::kNil : Tok::kName;
            out.push_back(t);
            continue;
        }
        static const char* const kOps[] = {"->", "**", "==", "!=", "<>", "<=", ">=", "+", "-",
                                           "*",  "/",  "%",  "^",  "=",  "#",  "<",  ">", "$",
                                           "!",  "(",  ")",  ",",  "{",  "}",  "|"};
        bool found = false;
        for (const char* op : kOps) {
            std::string_view o(op);
            if (s.substr(i, o.size()) == o) {
                t.kind = Tok::kOp;
                t.text = std::string(o);
                i += o.size();
                found = true;
                break;
            }
        }
        if (!found) throw syntax(i, "unexpected character");
        out.push_back(t);
    }
}

}  // namespace

// ---- the tree and the parser ---------------------------------------------------------

struct ExprNode {
    enum class Kind { kLiteral, kName, kField, kCall, kUnary, kBinary, kBlock };
    Kind kind = Kind::kLiteral;
    Value literal;
    std::string name;   // name, field, function or operator
    std::string alias;  // kField: the work area's alias ("" = current)
    std::vector<std::shared_ptr<const ExprNode>> kids;
    std::vector<std::string> params;  // kBlock
    int depth = 1;                    // of the tree below, this node included
};

namespace {

using NodeRef = std::shared_ptr<const ExprNode>;

// Deep nesting must not exhaust the stack: the program's texts nest a few levels.
constexpr int kMaxDepth = 200;

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : t_(std::move(tokens)) {}

    NodeRef parse_all() {
        NodeRef n = expression();
        if (peek().kind != Tok::kEnd) throw syntax(peek().at, "unexpected '" + peek().text + "'");
        return n;
    }

private:
    const Token& peek() const { return t_[pos_]; }
    bool is_op(const char* op) const { return peek().kind == Tok::kOp && peek().text == op; }
    bool accept(const char* op) {
        if (!is_op(op)) return false;
        ++pos_;
        return true;
    }
    void expect(const char* op) {
        if (!accept(op)) throw syntax(peek().at, std::string("'") + op + "' expected");
    }

    NodeRef make(ExprNode::Kind k, std::string name, std::vector<NodeRef> kids) {
        auto n = std::make_shared<ExprNode>();
        n->kind = k;
        n->name = std::move(name);
        n->kids = std::move(kids);
        for (const NodeRef& kid : n->kids) n->depth = std::max(n->depth, kid->depth + 1);
        if (n->depth > kMaxDepth) throw syntax(peek().at, "expression nested too deeply");
        return n;
    }

    struct Depth {
        explicit Depth(Parser& p) : p_(p) {
            if (++p_.depth_ > kMaxDepth) throw syntax(p_.peek().at, "expression nested too deeply");
        }
        ~Depth() { --p_.depth_; }
        Parser& p_;
    };

    NodeRef expression() {
        Depth d(*this);
        NodeRef left = and_expr();
        while (accept("OR")) left = make(ExprNode::Kind::kBinary, "OR", {left, and_expr()});
        return left;
    }
    NodeRef and_expr() {
        NodeRef left = not_expr();
        while (accept("AND")) left = make(ExprNode::Kind::kBinary, "AND", {left, not_expr()});
        return left;
    }
    NodeRef not_expr() {
        if (accept("NOT") || accept("!")) {
            Depth d(*this);
            return make(ExprNode::Kind::kUnary, "NOT", {not_expr()});
        }
        return relation();
    }
    NodeRef relation() {
        NodeRef left = sum();
        static const char* const kRel[] = {"==", "!=", "<>", "<=", ">=", "=", "#", "<", ">", "$"};
        for (bool more = true; more;) {
            more = false;
            for (const char* op : kRel)
                if (accept(op)) {
                    std::string name = op;
                    if (name == "<>" || name == "#") name = "!=";
                    left = make(ExprNode::Kind::kBinary, name, {left, sum()});
                    more = true;
                    break;
                }
        }
        return left;
    }
    NodeRef sum() {
        NodeRef left = product();
        while (is_op("+") || is_op("-")) {
            std::string op = t_[pos_++].text;
            left = make(ExprNode::Kind::kBinary, op, {left, product()});
        }
        return left;
    }
    NodeRef product() {
        NodeRef left = power();
        while (is_op("*") || is_op("/") || is_op("%")) {
            std::string op = t_[pos_++].text;
            left = make(ExprNode::Kind::kBinary, op, {left, power()});
        }
        return left;
    }
    NodeRef power() {
        NodeRef left = unary();
        if (accept("**") || accept("^")) {
            Depth d(*this);
            return make(ExprNode::Kind::kBinary, "**", {left, power()});
        }
        return left;
    }
    NodeRef unary() {
        if (is_op("-") || is_op("+")) {
            Depth d(*this);
            std::string op = t_[pos_++].text;
            return make(ExprNode::Kind::kUnary, op, {unary()});
        }
        return primary();
    }

    NodeRef literal(Value v) {
        auto n = std::make_shared<ExprNode>();
        n->literal = std::move(v);
        return n;
    }

    NodeRef primary() {
        const Token tok = peek();
        switch (tok.kind) {
            case Tok::kNumber:
                ++pos_;
                return literal(Value::number(tok.number, -1, tok.decimals));
            case Tok::kText:
                ++pos_;
                return literal(tok.text);
            case Tok::kLogical:
                ++pos_;
                return literal(tok.logical);
            case Tok::kNil:
                ++pos_;
                return literal(Value());
            case Tok::kName:
                return named();
            case Tok::kEnd:
                throw syntax(tok.at, "expression ends too early");
            case Tok::kOp:
                break;
        }
        if (accept("(")) {
            NodeRef inner = expression();
            // (a, b) evaluates both and yields the last, as the language's lists do.
            std::vector<NodeRef> list{inner};
            while (accept(",")) list.push_back(expression());
            expect(")");
            return list.size() == 1 ? inner : make(ExprNode::Kind::kCall, "", std::move(list));
        }
        if (accept("{")) return block();
        throw syntax(tok.at, "unexpected '" + tok.text + "'");
    }

    NodeRef named() {
        std::string name = t_[pos_++].text;
        if (accept("->")) {
            if (peek().kind != Tok::kName) throw syntax(peek().at, "field name expected");
            auto n = std::make_shared<ExprNode>();
            n->kind = ExprNode::Kind::kField;
            n->alias = name == "FIELD" ? "" : name;
            n->name = t_[pos_++].text;
            if (name == "M") n->kind = ExprNode::Kind::kName;
            return n;
        }
        if (accept("(")) {
            Depth d(*this);
            std::vector<NodeRef> args;
            if (!accept(")")) {
                do {
                    // An empty argument, as in F(a,,b), is nothing.
                    if (is_op(",") || is_op(")"))
                        args.push_back(literal(Value()));
                    else
                        args.push_back(expression());
                } while (accept(","));
                expect(")");
            }
            return make(ExprNode::Kind::kCall, name, std::move(args));
        }
        auto n = std::make_shared<ExprNode>();
        n->kind = ExprNode::Kind::kName;
        n->name = name;
        return n;
    }

    NodeRef block() {
        Depth d(*this);
        expect("|");
        auto n = std::make_shared<ExprNode>();
        n->kind = ExprNode::Kind::kBlock;
        if (!accept("|")) {
            do {
                if (peek().kind != Tok::kName) throw syntax(peek().at, "parameter name expected");
                n->params.push_back(t_[pos_++].text);
            } while (accept(","));
            expect("|");
        }
        do {
            n->kids.push_back(expression());
            n->depth = std::max(n->depth, n->kids.back()->depth + 1);
        } while (accept(","));
        expect("}");
        if (n->depth > kMaxDepth) throw syntax(peek().at, "expression nested too deeply");
        return n;
    }

    std::vector<Token> t_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

// ---- operators -----------------------------------------------------------------------

[[noreturn]] void operand_error(const std::string& op) {
    throw expr_failure(gencode::kArgument, base_subcode::kOperand, "Argument error", op);
}

double num(const Value& v, const std::string& op) {
    if (!v.is_number()) operand_error(op);
    return v.number();
}

bool logic(const Value& v, const std::string& op) {
    if (!v.is_logical()) operand_error(op);
    return v.logical();
}

// Three-way comparison; texts compare over the right operand's length unless `exact`,
// which makes "=" the prefix test.
int compare(const Value& a, const Value& b, bool exact, const std::string& op) {
    if (a.kind() != b.kind()) operand_error(op);
    auto three = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (a.kind()) {
        case Kind::kNothing:
            return 0;
        case Kind::kNumber:
            return three(a.number(), b.number());
        case Kind::kDate:
            return three(a.date(), b.date());
        case Kind::kLogical:
            return three(a.logical(), b.logical());
        case Kind::kDateTime:
            return three(std::pair(a.datetime().date, a.datetime().milliseconds),
                         std::pair(b.datetime().date, b.datetime().milliseconds));
        case Kind::kText: {
            std::string_view x = a.text(), y = b.text();
            if (!exact) x = x.substr(0, y.size());
            for (std::size_t i = 0; i < x.size() && i < y.size(); ++i)
                if (x[i] != y[i])
                    return static_cast<unsigned char>(x[i]) < static_cast<unsigned char>(y[i]) ? -1
                                                                                               : 1;
            return three(x.size(), y.size());
        }
        default:
            operand_error(op);
    }
}

Value zero_divide(const std::string& op) {
    Error e =
        expr_failure(gencode::kZeroDivide, base_subcode::kZeroDivide, "Zero divisor", op).error;
    e.candefault = true;
    return raise(e);
}

Value binary(const std::string& op, const Value& a, const Value& b) {
    if (op == "+") {
        if (a.is_number() && b.is_number()) return a.number() + b.number();
        if (a.is_text() && b.is_text()) return a.text() + b.text();
        if (a.is_date() && b.is_number())
            return a.date().plus_days(static_cast<std::int32_t>(b.number()));
        if (a.is_number() && b.is_date())
            return b.date().plus_days(static_cast<std::int32_t>(a.number()));
        operand_error(op);
    }
    if (op == "-") {
        if (a.is_number() && b.is_number()) return a.number() - b.number();
        if (a.is_text() && b.is_text()) {
            // The left text's trailing blanks move to the end of the result.
            std::string left = trim_right(a.text());
            std::string out = left + b.text();
            out.resize(a.text().size() + b.text().size(), ' ');
            return out;
        }
        if (a.is_date() && b.is_number())
            return a.date().plus_days(-static_cast<std::int32_t>(b.number()));
        if (a.is_date() && b.is_date())
            return static_cast<double>(a.date().julian() - b.date().julian());
        operand_error(op);
    }
    if (op == "*") return num(a, op) * num(b, op);
    if (op == "/" || op == "%") {
        double x = num(a, op), y = num(b, op);
        if (y == 0) return zero_divide(op);
        return op == "/" ? x / y : std::fmod(x, y);
    }
    if (op == "**") return std::pow(num(a, op), num(b, op));
    if (op == "$") {
        if (!a.is_text() || !b.is_text()) operand_error(op);
        return b.text().find(a.text()) != std::string::npos;
    }
    if (op == "==") return a.is_text() ? a.text() == b.text() : compare(a, b, true, op) == 0;
    int c = compare(a, b, false, op);
    if (op == "=") return c == 0;
    if (op == "!=") return c != 0;
    if (op == "<") return c < 0;
    if (op == ">") return c > 0;
    if (op == "<=") return c <= 0;
    return c >= 0;  // ">="
}

// ---- evaluation ----------------------------------------------------------------------

struct Scope {
    std::vector<std::pair<std::string, Value>> locals;
};

class Evaluator {
public:
    Evaluator(FieldResolver* fields, Scope scope) : fields_(fields), scope_(std::move(scope)) {}

    Value eval(const ExprNode& n) {
        switch (n.kind) {
            case ExprNode::Kind::kLiteral:
                return n.literal;
            case ExprNode::Kind::kName:
                return name(n.name, n.alias == "M");
            case ExprNode::Kind::kField:
                return field(n.alias, n.name);
            case ExprNode::Kind::kUnary: {
                Value v = eval(*n.kids[0]);
                if (n.name == "NOT") return !logic(v, ".NOT.");
                double x = num(v, n.name);
                return n.name == "-" ? -x : x;
            }
            case ExprNode::Kind::kBinary: {
                if (n.name == "AND")
                    return logic(eval(*n.kids[0]), ".AND.") && logic(eval(*n.kids[1]), ".AND.");
                if (n.name == "OR")
                    return logic(eval(*n.kids[0]), ".OR.") || logic(eval(*n.kids[1]), ".OR.");
                Value a = eval(*n.kids[0]);
                Value b = eval(*n.kids[1]);
                return binary(n.name, a, b);
            }
            case ExprNode::Kind::kCall:
                return call(n);
            case ExprNode::Kind::kBlock:
                return block(n);
        }
        return Value();
    }

private:
    // A block parameter, a field of the current table or a setting; M->n: the setting.
    Value name(const std::string& n, bool setting_only) {
        Value v;
        if (!setting_only) {
            for (auto it = scope_.locals.rbegin(); it != scope_.locals.rend(); ++it)
                if (it->first == n) return it->second;
            if (fields_ && fields_->field("", n, v) == FieldResolver::Lookup::kFound) return v;
        }
        v = setting(n);
        if (!v.is_nothing()) return v;
        throw expr_failure(gencode::kNoVariable, base_subcode::kNoVariable,
                           "Variable does not exist", n);
    }

    Value field(const std::string& alias, const std::string& n) {
        Value v;
        FieldResolver::Lookup r =
            fields_ ? fields_->field(alias, n, v) : FieldResolver::Lookup::kNoAlias;
        if (r == FieldResolver::Lookup::kFound) return v;
        if (r == FieldResolver::Lookup::kNoAlias && !alias.empty())
            throw expr_failure(gencode::kNoAlias, base_subcode::kNoAlias,
                               "Alias does not exist", alias);
        throw expr_failure(gencode::kNoVariable, base_subcode::kNoVariable,
                           "Variable does not exist", n);
    }

    Value call(const ExprNode& n) {
        if (n.name.empty()) {  // a parenthesised list
            Value last;
            for (const NodeRef& k : n.kids) last = eval(*k);
            return last;
        }
        if (n.name == "IIF" || n.name == "IF") {
            if (n.kids.size() != 3) operand_error(n.name);
            return logic(eval(*n.kids[0]), n.name) ? eval(*n.kids[1]) : eval(*n.kids[2]);
        }
        if (n.name == "DELETED") return fields_ ? fields_->deleted() : false;
        if (n.name == "RECNO") return fields_ ? fields_->recno() : 0.0;
        std::vector<Value> args;
        for (const NodeRef& k : n.kids) args.push_back(eval(*k));
        if (n.name == "EVAL") {
            if (args.empty() || !args[0].is_callback()) operand_error("EVAL");
            return args[0].call(std::vector<Value>(args.begin() + 1, args.end()));
        }
        std::optional<Value> r = call_function(n.name, args);
        if (!r)
            throw expr_failure(gencode::kNoFunction, base_subcode::kNoFunction,
                               "Undefined function", n.name);
        return *r;
    }

    Value block(const ExprNode& n) {
        FieldResolver* fields = fields_;
        Scope outer = scope_;
        auto node = std::make_shared<ExprNode>(n);
        return Value(Callback([fields, outer, node](std::vector<Value>& args) -> Value {
            Scope inner = outer;
            for (std::size_t i = 0; i < node->params.size(); ++i)
                inner.locals.emplace_back(node->params[i], i < args.size() ? args[i] : Value());
            Evaluator e(fields, std::move(inner));
            try {
                Value last;
                for (const NodeRef& k : node->kids) last = e.eval(*k);
                return last;
            } catch (const ExprFailure& f) {
                return raise(f.error);
            }
        }));
    }

    FieldResolver* fields_;
    Scope scope_;
};

}  // namespace

std::optional<Expression> Expression::compile(std::string_view text, Error& error) {
    try {
        Expression e;
        e.text_ = std::string(text);
        e.root_ = Parser(tokenize(text)).parse_all();
        return e;
    } catch (const ExprFailure& f) {
        error = f.error;
        error.operation = std::string(text);
        return std::nullopt;
    }
}

Value Expression::evaluate(FieldResolver* fields) const {
    try {
        return Evaluator(fields, Scope{}).eval(*root_);
    } catch (const ExprFailure& f) {
        return raise(f.error);
    }
}

std::optional<std::string> Expression::field_name() const {
    const bool plain_name = root_->kind == ExprNode::Kind::kName && root_->alias != "M";
    const bool current_field = root_->kind == ExprNode::Kind::kField && root_->alias.empty();
    if (plain_name || current_field) return root_->name;
    return std::nullopt;
}

Value evaluate_text(std::string_view text, FieldResolver* fields) {
    Error error;
    std::optional<Expression> e = Expression::compile(text, error);
    if (!e) return raise(error);
    return e->evaluate(fields);
}

}  // namespace runtime
