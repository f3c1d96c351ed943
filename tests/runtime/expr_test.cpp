#include "runtime/expr.h"

#include <gtest/gtest.h>

#include <map>

#include "runtime/settings.h"
#include "tests/support/comma_locale.h"

namespace runtime {
namespace {

// A current record of three fields, and a second table under the alias OTHER.
class Fields : public FieldResolver {
public:
    Lookup field(std::string_view alias, std::string_view name, Value& out) override {
        const auto& table = alias.empty() ? current : (alias == "OTHER" ? other : none);
        if (alias.size() && table.empty()) return Lookup::kNoAlias;
        auto it = table.find(std::string(name));
        if (it == table.end()) return Lookup::kNoField;
        out = it->second;
        return Lookup::kFound;
    }
    double recno() override { return 7; }
    bool deleted() override { return true; }

    std::map<std::string, Value> current = {{"NAME", "Rossi     "},
                                            {"QTY", Value::number(12, 5, 0)},
                                            {"BORN", *Date::from_ymd(1970, 3, 9)}};
    std::map<std::string, Value> other = {{"CODE", "X1"}};
    std::map<std::string, Value> none;
};

class ExprTest : public testing::Test {
protected:
    void SetUp() override {
        clear_settings();
        set_setting("DateFormat", "dd/mm/yyyy");
        old_ = install_error_handler([this](const Error& e) -> Value {
            errors.push_back(e);
            return e.gencode == gencode::kZeroDivide ? Value(0) : Value(false);
        });
    }
    void TearDown() override {
        install_error_handler(old_);
        clear_settings();
    }
    Value eval(const char* text) { return evaluate_text(text, &fields); }

    Fields fields;
    std::vector<Error> errors;
    ErrorHandler old_;
};

TEST_F(ExprTest, LiteralsOperatorsAndPrecedence) {
    struct Case {
        const char* text;
        Value want;
    } cases[] = {
        {"1 + 2 * 3", 7},
        {"(1 + 2) * 3", 9},
        {"2 ** 3 ^ 2", 512},
        {"-2 + 5", 3},
        {"7 % 4", 3},
        {".5 + 1", 1.5},
        {"\"ab\" + 'cd' + [ef]", "abcdef"},
        {"'ab  ' - 'cd'", "abcd  "},
        {".T. .AND. .F.", false},
        {".t. .or. .f.", true},
        {".NOT. .F.", true},
        {"!.T.", false},
        {"1 < 2 .AND. 2 <= 2 .AND. 3 > 2 .AND. 3 >= 4 .OR. 1 == 1", true},
        {"NIL == NIL", true},
        {"'ABC' = 'AB'", true},
        {"'AB' = 'ABC'", false},
        {"'ABC' = ''", true},
        {"'ABC' == 'AB'", false},
        {"'ABC' != 'AB'", false},
        {"'ABC' <> 'X'", true},
        {"'ABC' # 'ABC'", false},
        {"'B' $ 'ABC'", true},
        {"'Z' $ 'ABC'", false},
        {"1 = 1.0", true},
        {"CTOD('09/03/1970') + 1 - CTOD('09/03/1970')", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(eval(c.text), c.want) << c.text;
    EXPECT_TRUE(errors.empty());
}

TEST_F(ExprTest, FieldsAliasesAndSettings) {
    set_setting("ACS_LEVEL", 3);
    struct Case {
        const char* text;
        Value want;
    } cases[] = {
        {"QTY * 2", 24},
        {"qty", 12},
        {"FIELD->QTY + 1", 13},
        {"FIELD -> QTY + 1", 13},
        {"OTHER->CODE + TRIM(NAME)", "X1Rossi"},
        {"ACS_LEVEL + 1", 4},
        {"M->ACS_LEVEL", 3},
        {"YEAR(BORN)", 1970},
        {"DELETED() .AND. RECNO() = 7", true},
        {"STR(QTY)", "   12"},
    };
    for (const Case& c : cases) EXPECT_EQ(eval(c.text), c.want) << c.text;
    EXPECT_TRUE(errors.empty());
}

TEST_F(ExprTest, Functions) {
    struct Case {
        const char* text;
        Value want;
    } cases[] = {
        {"UPPER('abc\xE8')", "ABC\xE8"},
        {"LOWER('ABC')", "abc"},
        {"TRIM('  a  ') + RTRIM('b ') + LTRIM('  c') + ALLTRIM('  d  ')", "  abcd"},
        {"SUBSTR('abcdef', 2, 3)", "bcd"},
        {"SUBSTR('abcdef', -2)", "ef"},
        {"SUBSTR('abc', 5)", ""},
        {"LEFT('abc', 2) + RIGHT('abc', 2)", "abbc"},
        {"STR(3.14159, 8, 2)", "    3.14"},
        {"STR(5)", "         5"},
        {"STR(123456, 3)", "***"},
        {"STR(2.5, 3) + STR(-2.5, 3) + STR(1.005, 6, 2)", "  3 -3  1.01"},  // halves away
        {"STR(-0.001, 6, 2)", "  0.00"},
        {"VAL('  12.50') * 2", 25},
        {"VAL('1e3') + VAL('0x10') + VAL('-.5')", 0.5},  // decimal numbers only
        {"DTOC(CTOD('31/12/1999'))", "31/12/1999"},
        {"DTOS(STOD('20240229'))", "20240229"},
        {"DTOS(CTOD(''))", "        "},
        {"EMPTY('  ') .AND. EMPTY(0) .AND. EMPTY(CTOD('')) .AND. !EMPTY('x')", true},
        {"IIF(1 > 2, 'yes', 'no') + IF(.T., '!', 1/0)", "no!"},
        {"ASC(CHR(65))", 65},
        {"LEN(SPACE(4) + REPLICATE('ab', 3))", 10},
        {"STRTRAN('a-b-c', '-', '+')", "a+b+c"},
        {"STRTRAN('a-b-c', '-')", "abc"},
        {"PADR('ab', 4) + '|' + PADL('ab', 4, '0') + '|' + PADR('abcdef', 3)", "ab  |00ab|abc"},
        {"MONTH(CTOD('09/03/1970')) + DAY(CTOD('09/03/1970'))", 12},
        {"DATE() = DATE()", true},
    };
    for (const Case& c : cases) EXPECT_EQ(eval(c.text), c.want) << c.text;
    EXPECT_TRUE(errors.empty()) << errors.front().description.value_or("");
}

// Under a locale with "," numbers are read and written with "." all the same.
TEST_F(ExprTest, NumbersKeepThePointUnderACommaLocale) {
    const test_support::CommaLocale comma;
    ASSERT_TRUE(comma.active()) << "no locale with a decimal comma";
    EXPECT_EQ(eval("3.25 * 2"), 6.5);
    EXPECT_EQ(eval("STR(3.14159, 8, 2)"), "    3.14");
    EXPECT_EQ(eval("VAL('12.50')"), 12.5);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ExprTest, BlocksTakeParametersAndSeeFields) {
    Value b = eval("{|a, b| a + b * QTY}");
    ASSERT_TRUE(b.is_callback());
    EXPECT_EQ(b.call({1, 2}), 25);
    EXPECT_EQ(eval("EVAL({|x| x * 2}, 21)"), 42);
    Value nested = eval("{|a| EVAL({|b| a + b}, 1)}");
    EXPECT_EQ(nested.call({10}), 11);
    EXPECT_EQ(eval("{|| QTY, 'last'}").call(), "last");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ExprTest, RegisteredProceduresAreCalledByName) {
    std::vector<Value> got;
    register_procedure("Manutenzione", [&](std::vector<Value>& args) -> Value {
        got = args;
        return "done";
    });
    EXPECT_EQ(eval("Manutenzione( .F. )"), "done");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], Value(false));
    unregister_procedure("MANUTENZIONE");
    EXPECT_EQ(eval("Manutenzione( .F. )"), Value(false));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].gencode, gencode::kNoFunction);
}

TEST_F(ExprTest, BadExpressionsAreErrorRecords) {
    // Each kind of failure has its own subsystem code, so that a report tells them apart.
    struct Case {
        const char* text;
        int gencode;
        int subcode;
    } cases[] = {
        {"1 +", gencode::kSyntax, base_subcode::kSyntax},
        {"(1", gencode::kSyntax, base_subcode::kSyntax},
        {"'open", gencode::kSyntax, base_subcode::kSyntax},
        {"1 2", gencode::kSyntax, base_subcode::kSyntax},
        {"@", gencode::kSyntax, base_subcode::kSyntax},
        {"{|a| a", gencode::kSyntax, base_subcode::kSyntax},
        {"NOSUCH", gencode::kNoVariable, base_subcode::kNoVariable},
        {"NOALIAS->X", gencode::kNoAlias, base_subcode::kNoAlias},
        {"OTHER->NOFIELD", gencode::kNoVariable, base_subcode::kNoVariable},
        {"NOFUNC(1)", gencode::kNoFunction, base_subcode::kNoFunction},
        {"1 + 'a'", gencode::kArgument, base_subcode::kOperand},
        {".NOT. 1", gencode::kArgument, base_subcode::kOperand},
        {"1 < 'a'", gencode::kArgument, base_subcode::kOperand},
        {"IIF(1, 2, 3)", gencode::kArgument, base_subcode::kOperand},
        {"UPPER(1)", gencode::kArgument, base_subcode::kArgument},
        {"SPACE(10000000)", gencode::kArgument, base_subcode::kArgument},
    };
    for (const Case& c : cases) {
        errors.clear();
        EXPECT_EQ(eval(c.text), Value(false)) << c.text;
        ASSERT_EQ(errors.size(), 1u) << c.text;
        EXPECT_EQ(errors[0].gencode, c.gencode) << c.text;
        EXPECT_EQ(errors[0].subcode, c.subcode) << c.text;
        EXPECT_EQ(errors[0].subsystem, "BASE") << c.text;
    }
    // Deep nesting is refused, not a stack overflow.
    std::string deep(5000, '(');
    errors.clear();
    eval((deep + "1" + std::string(5000, ')')).c_str());
    std::string chain = "1";
    for (int i = 0; i < 5000; ++i) chain += "+1";
    eval(chain.c_str());
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].gencode, gencode::kSyntax);
}

TEST_F(ExprTest, DivisionByZeroTakesTheHandlersSubstitute) {
    EXPECT_EQ(eval("10 / 0 + 1"), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].gencode, gencode::kZeroDivide);
    EXPECT_EQ(errors[0].subcode, base_subcode::kZeroDivide);
    EXPECT_TRUE(errors[0].candefault);
}

}  // namespace
}  // namespace runtime
