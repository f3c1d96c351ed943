// velkan-device as a user runs it: the real program on a pseudo-terminal it creates, and on
// the other end this test fetching files through the port layer, the way the transfer does.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "serial/port.h"
#include "tests/device/tap_fetch.h"

extern char** environ;

namespace {

using serial::PortHandle;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string tap(const std::string& name) { return slurp(std::string(VELKAN_TAP_DIR) + "/" + name); }

// The device program, running until the end byte; its log is kept in a file.
class Device {
public:
    explicit Device(std::vector<std::string> args) {
        log_ = testing::TempDir() + "velkan-device-" + std::to_string(getpid()) + ".log";
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        args.insert(args.begin(), VELKAN_DEVICE);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, VELKAN_DEVICE, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') path_.push_back(c);
        close(out[0]);
        port_ = serial::OPENCOMM(path_, 16384, 16384);
        EXPECT_NE(port_, serial::kNoPort) << path_;
    }
    ~Device() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        serial::CLOSECOMM(port_);
    }

    void send(const std::string& bytes) {
        EXPECT_EQ(serial::WRITECOMM(port_, bytes), int(bytes.size()));
    }
    std::string receive(std::size_t count, int quiet_ms = 2000) {
        return device::test::receive(port_, count, quiet_ms);
    }
    // Sends the end byte and waits for the program to end; its exit status.
    int finish() {
        send("\x09");
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string log() const { return slurp(log_); }

    std::string fetch(const std::string& name) { return device::test::fetch(port_, name); }

private:
    pid_t pid_ = 0;
    std::string path_, log_;
    PortHandle port_ = serial::kNoPort;
};

using device::test::names;

TEST(Device, ServesRealTapImagesByteForByte) {
    struct Case {
        const char* file;
        bool paced;
    } cases[] = {
        {"fq_basic_prog1.tap", true},
        {"sjasmplus_tapout_test.tap", true},
        {"rustzx_simple_tape.tap", false},  // a repeated name, served in order
        {"eaglerock_tmsim.tap", false},
    };
    for (const Case& c : cases) {
        std::string image = tap(c.file);
        std::vector<std::string> args = {"--tap", std::string(VELKAN_TAP_DIR) + "/" + c.file};
        if (!c.paced) args.push_back("--fast");
        Device device(args);
        std::string fetched;
        for (const std::string& name : names(image)) fetched += device.fetch(name);
        EXPECT_EQ(device.finish(), 0) << c.file;
        EXPECT_EQ(fetched.size(), image.size()) << c.file;
        EXPECT_TRUE(fetched == image) << c.file;
        EXPECT_NE(device.log().find("request \"" + names(image)[0] + "\""), std::string::npos);
    }
}

TEST(Device, OddTapesSkipBlocksWithoutHeaderAndWarn) {
    std::string path = std::string(VELKAN_TAP_DIR) + "/sjasmplus_savetap_test.tap";
    Device device({"--tap", path, "--fast"});
    std::vector<std::string> listed = names(tap("sjasmplus_savetap_test.tap"));
    ASSERT_FALSE(listed.empty());
    std::string blocks = device.fetch(listed[0]);
    EXPECT_GE(blocks.size(), 25u);
    EXPECT_EQ(device.finish(), 0);
    EXPECT_NE(device.log().find("has no header: skipped"), std::string::npos) << device.log();
}

TEST(Device, NamesItDoesNotHave) {
    const std::string unknown = "NOSUCHFILE";
    const std::string known = "HelloWorld";
    std::string path = std::string(VELKAN_TAP_DIR) + "/sjasmplus_tapout_test.tap";
    {
        Device device({"--tap", path, "--fast", "--missing", "empty"});
        device.send(std::string(1, '\0') + unknown);
        EXPECT_EQ(device.receive(9), std::string("\x06\x03\x00\x00\x00\x00\x00\x00\x04", 9));
        EXPECT_EQ(device.finish(), 0);
    }
    {
        Device device({"--tap", path, "--fast"});
        device.send(std::string(1, '\0') + unknown);
        device.send(std::string(1, '\0') + known);
        std::string answer = device.receive(8);
        ASSERT_EQ(answer.size(), 8u);
        EXPECT_EQ(answer[0], '\x06') << "the first answer is the known file's: silence before";
        EXPECT_EQ(answer[1], '\x00') << "a program file";
        EXPECT_EQ(device.finish(), 0);
        EXPECT_NE(device.log().find("not found, no answer"), std::string::npos);
    }
}

TEST(Device, FolderFilesTakeTheGivenTypeAndParameters) {
    std::string folder = testing::TempDir() + "velkan-device-folder-" + std::to_string(getpid());
    mkdir(folder.c_str(), 0755);
    std::ofstream(folder + "/ABC", std::ios::binary) << "\x12\x34";
    struct Case {
        std::vector<std::string> options;
        std::string header;  // type, length, parameters
    } cases[] = {
        {{}, std::string("\x03\x02\x00\x00\x00\x00\x00", 7)},
        {{"--type", "4", "--param1", "0x8000", "--param2", "10"},
         std::string("\x04\x02\x00\x00\x80\x0A\x00", 7)},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--folder", folder, "--fast"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Device device(args);
        device.send(std::string("\0ABC       ", 11));
        EXPECT_EQ(device.receive(11), "\x06" + c.header + "\x12\x34\x04");
        EXPECT_EQ(device.finish(), 0);
    }
    std::remove((folder + "/ABC").c_str());
    rmdir(folder.c_str());
}

TEST(Device, FaultsATestAsksFor) {
    std::string path = std::string(VELKAN_TAP_DIR) + "/fq_basic_prog1.tap";
    std::string image = tap("fq_basic_prog1.tap");
    std::string name = names(image)[0];
    // The whole answer as a faultless device sends it.
    std::string whole;
    {
        Device device({"--tap", path, "--fast"});
        device.send(std::string(1, '\0') + name);
        whole = device.receive(1000, 300);
        device.finish();
    }
    ASSERT_GT(whole.size(), 12u);
    struct Case {
        std::vector<std::string> options;
        std::string want;
    } cases[] = {
        {{"--drop", "0,5"}, whole.substr(1, 4) + whole.substr(6)},
        {{"--silent-after", "7"}, whole.substr(0, 7)},
        {{"--extra", "55AA"}, whole + "\x55\xAA"},
        {{"--pause-before", "3:50"}, whole},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--tap", path, "--fast"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        Device device(args);
        device.send(std::string(1, '\0') + name);
        EXPECT_EQ(device.receive(1000, 300), c.want) << c.options[0];
        EXPECT_EQ(device.finish(), 0);
    }
}

TEST(Device, HelpNamesEveryOption) {
    std::string out = testing::TempDir() + "velkan-device-help.txt";
    std::string command = std::string(VELKAN_DEVICE) + " --help > " + out;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string help = slurp(out);
    for (const char* option : {"--tap", "--folder", "--type", "--param1", "--param2", "--missing",
                               "--reply-byte", "--closing-byte", "--port", "--link", "--fast",
                               "--pause-before", "--drop", "--silent-after", "--extra"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}

}  // namespace
