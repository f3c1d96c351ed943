// The error handler's rows, each met by a real failing operation where this machine can
// make one (the disk conditions through the engine's failing file layer with the system's
// code), answered by a user; the full description and the mail report's address.
#include "kelv/errorsys/errorsys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

#include "dbf/network_error.h"
#include "dbf/table.h"
#include "runtime/error.h"
#include "runtime/expr.h"
#include "runtime/frame.h"
#include "runtime/text1252.h"
#include "tests/dbf/faulty_files.h"
#include "tests/support/temp_folder.h"
#include "tests/winlib/user.h"

namespace kelv {
namespace {

using runtime::Error;
using runtime::Value;
using winlib::testing::make_user;
constexpr int kText = 0xFFFF;  // a message box's text

// ---- the full description ----------------------------------------------------------------

// An error record with the fields a raiser fills.
Error error(int gencode, std::optional<int> subcode, int oscode, const char* subsystem,
            const char* description, std::string filename, std::string operation,
            int severity = 2, bool candefault = false) {
    Error e;
    e.gencode = gencode;
    e.subcode = subcode;
    e.oscode = oscode;
    if (subsystem) e.subsystem = subsystem;
    if (description) e.description = description;
    e.filename = std::move(filename);
    e.operation = std::move(operation);
    e.severity = severity;
    e.candefault = candefault;
    return e;
}

Error of_subsystem(const char* subsystem) { return error(0, {}, 0, subsystem, nullptr, "", ""); }

TEST(ErrorMessage, BuildsItsSixPieces) {
    struct Case {
        Error error;
        std::string expected;  // before ";Function: "
    } cases[] = {
        {error(1, 1089, 0, "BASE", "Argument error", "", "+"), "Error BASE/1089  Argument error: +"},
        // The file before the operation.
        {error(21, 1001, 2, "DBFCDX", "Open error", "c:\\dati\\x.dbf", "open"),
         "Error DBFCDX/1001  Open error: c:\\dati\\x.dbf"},
        {error(0, {}, 0, nullptr, nullptr, "", "", 1), "Warning ???" "/???"},
        {error(0, 7, 0, nullptr, nullptr, "", "", 3), "Error ???" "/7"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ERRORMESSAGE(c.error), c.expected + ";Function:   Line: 0");
}

// The runtime's value operations name their failure with a subsystem code of their own,
// never "/???".
TEST(ErrorMessage, DescribesTheRuntimesValueErrorsWithTheirCodes) {
    struct Case {
        const char* statement;
        std::string expected;  // before ";Function: "
    } cases[] = {
        {"1 + \"a\"", "Error BASE/1102  Argument error: +"},
        {".NOT. 1", "Error BASE/1102  Argument error: .NOT."},
        {"UPPER(1)", "Error BASE/1103  Argument error: UPPER"},
        {"10 / 0", "Error BASE/1104  Zero divisor: /"},
        {"NOFUNC(1)", "Error BASE/1105  Undefined function: NOFUNC"},
        {"NOVAR + 1", "Error BASE/1106  Variable does not exist: NOVAR"},
        {"NOALIAS->X", "Error BASE/1107  Alias does not exist: NOALIAS"},
    };
    for (const Case& c : cases) {
        std::optional<Error> raised;
        runtime::ErrorHandler old = runtime::install_error_handler([&](const Error& e) {
            raised = e;
            return Value(0);
        });
        runtime::evaluate_text(c.statement, nullptr);
        runtime::install_error_handler(old);
        ASSERT_TRUE(raised) << c.statement;
        EXPECT_EQ(ERRORMESSAGE(*raised), c.expected + ";Function:   Line: 0") << c.statement;
    }
}

void innermost_with_lines(std::string& message, int& line, const Error& e) {
    runtime::Frame frame("INNER");
    frame.next_line();
    message = ERRORMESSAGE(e);
    line = __LINE__ - 1;
}

void library_function(std::string& message, int& line, const Error& e) {
    runtime::Frame frame("LIBRARY", runtime::Frame::NoLines{});
    innermost_with_lines(message, line, e);
}

TEST(ErrorMessage, NamesTheInnermostFunctionWithLineNumbers) {
    runtime::Frame outer("OUTER");
    std::string message;
    int line = 0;
    library_function(message, line, of_subsystem("BASE"));
    EXPECT_EQ(message, "Error BASE/???;Function: INNER  Line: " + std::to_string(line));

    // Library frames (line 0) are passed over, out to the caller's marked statement.
    {
        runtime::Frame library("LIBRARY", runtime::Frame::NoLines{});
        message = ERRORMESSAGE(of_subsystem("DBFCDX"));
    }
    outer.next_line();
    std::string direct = ERRORMESSAGE(of_subsystem("BASE"));
    EXPECT_EQ(direct, "Error BASE/???;Function: OUTER  Line: " + std::to_string(__LINE__ - 1));
    EXPECT_NE(message.find(";Function: OUTER  Line: "), std::string::npos) << message;
}

TEST(ErrorReport, TheAddressCarriesTheWholeDescriptionInTheBody) {
    EXPECT_EQ(error_report_address("Error BASE/1  A&B;Function: X  Line: 3", "C:\\APP\\VELKAN.EXE"),
              "mailto:?subject=Rapporto di errore&body=Applicazione: C:\\APP\\VELKAN.EXE"
              "%0d%0a%0d%0aError BASE/1  A%26B%0d%0aFunction: X  Line: 3");
    // What would cut the body or change the address is encoded too, "%" first.
    EXPECT_EQ(error_report_address("50% #1? a\tb", "\\opt\\a&b;c"),
              "mailto:?subject=Rapporto di errore&body=Applicazione: \\opt\\a%26b;c"
              "%0d%0a%0d%0a50%25 %231%3F a%09b");
}

// ---- the rows, met by real failing operations ---------------------------------------------

class Handler : public testing::Test {
protected:
    void SetUp() override { old_ = runtime::install_error_handler(DEFERROR); }
    void TearDown() override { runtime::install_error_handler(old_); }

    std::string path(const std::string& name) const { return folder_.windows_path() + "\\" + name; }
    void make_table(const std::string& name) {
        runtime::ErrorHandler quiet = runtime::install_error_handler({});
        ASSERT_TRUE(dbf::Table::create(path(name), {{"CODE", 'C', 4, 0}}));
        auto t = dbf::Table::open(path(name), {false, false});
        ASSERT_TRUE(t && t->append_blank() && t->put(1, Value("A")) && t->commit());
        runtime::install_error_handler(quiet);
    }

    test_support::TempFolder folder_;
    runtime::ErrorHandler old_;
};

// The user reads the notice and presses OK; the operation is abandoned (a Break).
template <class Operation>
void expect_notice_and_abandon(const std::string& notice, Operation operation) {
    auto user = make_user();
    user->wait_window("Attenzione").expect_text("Attenzione", kText, notice).click("Attenzione", 1);
    user->start();
    EXPECT_THROW(operation(), runtime::Break) << notice;
    EXPECT_TRUE(user->finished()) << user->report();
}

TEST_F(Handler, FileConditionsAreExplainedAndAbandonTheOperation) {
    make_table("DAMAGED.DBF");
    {
        std::fstream damage(folder_.path() / "DAMAGED.DBF", std::ios::in | std::ios::out | std::ios::binary);
        damage.seekp(8);
        damage.write("\xFF\xFF", 2);  // the header's length: past the end of the file
    }
    std::filesystem::create_directory(folder_.path() / "FOLDER.DBF");
    struct Case {
        std::string file;
        std::string notice;
    } cases[] = {
        {path("MISSING.DBF"), "Impossibile aprire il file " + runtime::upper(path("MISSING.DBF")) + "."},
        {path("nodir\\x.dbf"), "Percorso " + runtime::upper(path("nodir\\x.dbf")) + " non trovato."},
        // Access denied outranks the open failure.
        {path("FOLDER.DBF"), "Impossibile accedere al file " + runtime::upper(path("FOLDER.DBF")) + "."},
        {path("DAMAGED.DBF"), "Il file " + runtime::upper(path("DAMAGED.DBF")) + " risulta corrotto."},
    };
    for (const Case& c : cases)
        expect_notice_and_abandon(c.notice, [&] { dbf::Table::open(c.file, {true, false}); });
}

// Conditions of the hardware, by the file layer failing a write with the system's code.
TEST_F(Handler, DiskConditionsAreExplainedAndAbandonTheOperation) {
    make_table("DISK.DBF");
    const std::string file = runtime::upper(path("DISK.DBF"));
    struct Case {
        int oscode;
        std::string notice;
    } cases[] = {
        {21, "Disco " + file + " non pronto."},
        {27, "Disco " + file + " non formattato."},
        {31, "Disco " + file + " non formattato."},
        {19, "Disco " + file + " protetto da scrittura."},
        {82, "Directory " + file + " piena."},
        {112, "Spazio sul disco " + file + " insufficiente."},  // subsystem code 2016
    };
    for (const Case& c : cases) {
        dbf_test::FaultyFiles faulty;
        auto table = dbf::Table::open(path("DISK.DBF"), {false, false});
        ASSERT_TRUE(table);
        faulty.arm({.call = dbf_test::FaultyFiles::Call::kWrite, .oscode = c.oscode});
        expect_notice_and_abandon(c.notice, [&] {
            table->put(1, Value("B"));
            table->commit();
        });
        EXPECT_TRUE(faulty.fired()) << c.oscode;
    }
}

TEST_F(Handler, AnAutomationErrorShowsTheFullDescription) {
    Error e = error(runtime::gencode::kOle, 3, 0, "OLE", "Unknown name", "", "Invoke");
    expect_notice_and_abandon("Error OLE/3  Unknown name: Invoke\r\nFunction:   Line: 0",
                              [&] { runtime::raise(e); });
}

TEST_F(Handler, ADivisionByZeroYieldsZeroQuietly) {
    EXPECT_EQ(runtime::evaluate_text("7 / 0", nullptr), Value(0));
    EXPECT_EQ(runtime::evaluate_text("7 % 0", nullptr), Value(0));
}

TEST_F(Handler, ATableHeldByAnotherFailsQuietlyWithTheNetworkFlag) {
    make_table("HELD.DBF");
    auto exclusive = dbf::Table::open(path("HELD.DBF"), {false, false});
    ASSERT_TRUE(exclusive);
    dbf::set_network_error(false);
    EXPECT_EQ(dbf::Table::open(path("HELD.DBF"), {true, false}), nullptr);
    EXPECT_TRUE(dbf::network_error());
}

TEST_F(Handler, ARefusedAppendLockFailsQuietlyWithTheNetworkFlag) {
    make_table("SHARED.DBF");
    auto first = dbf::Table::open(path("SHARED.DBF"), {true, false});
    auto second = dbf::Table::open(path("SHARED.DBF"), {true, false});
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(first->lock_table());  // holds the append lock for as long as it has the table
    dbf::set_network_error(false);
    EXPECT_FALSE(second->append_blank());
    EXPECT_TRUE(dbf::network_error());
}

}  // namespace
}  // namespace kelv
