#include "child_process.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dbf_test {

#ifdef _WIN32

std::string helper_path() {
    // CTest hands the helper's POSIX path; under Wine it lives on drive Z:.
    std::string p = VELKAN_DBF_HELPER;
    if (!p.empty() && p[0] == '/') p = "Z:" + p;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE in_read, in_write, out_read, out_write;
    if (!CreatePipe(&in_read, &in_write, &sa, 0)) return;
    if (!CreatePipe(&out_read, &out_write, &sa, 0)) return;
    SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
    std::string cmd;
    for (const std::string& a : args) cmd += (cmd.empty() ? "" : " ") + ("\"" + a + "\"");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in_read;
    si.hStdOutput = out_write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    started_ = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                              &pi) != 0;
    CloseHandle(in_read);
    CloseHandle(out_write);
    in_ = in_write;
    out_ = out_read;
    if (started_) {
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
    }
}

ChildProcess::~ChildProcess() {
    release();
    wait();
    if (out_) CloseHandle(out_);
}

std::string ChildProcess::read_line() {
    std::string line;
    char c;
    DWORD got = 0;
    while (ReadFile(out_, &c, 1, &got, nullptr) && got == 1 && c != '\n')
        if (c != '\r') line += c;
    return line;
}

void ChildProcess::release() {
    if (in_) CloseHandle(in_);
    in_ = nullptr;
}

int ChildProcess::wait() {
    if (!process_) return -1;
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    return static_cast<int>(code);
}

#else

std::string helper_path() { return VELKAN_DBF_HELPER; }

ChildProcess::ChildProcess(const std::vector<std::string>& args) {
    int to_child[2], from_child[2];
    if (::pipe(to_child) != 0 || ::pipe(from_child) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(to_child[0], 0);
        ::dup2(from_child[1], 1);
        ::close(to_child[1]);
        ::close(from_child[0]);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(to_child[0]);
    ::close(from_child[1]);
    in_ = to_child[1];
    out_ = from_child[0];
    started_ = pid_ > 0;
}

ChildProcess::~ChildProcess() {
    release();
    wait();
    if (out_ >= 0) ::close(out_);
}

std::string ChildProcess::read_line() {
    std::string line;
    char c;
    while (::read(out_, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

void ChildProcess::release() {
    if (in_ >= 0) ::close(in_);
    in_ = -1;
}

int ChildProcess::wait() {
    if (pid_ <= 0) return -1;
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif

}  // namespace dbf_test
