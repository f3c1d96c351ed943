// The Win32 communications backend. The device is opened overlapped, so every wait on it
// carries an OVERLAPPED record: the reader's event wait (WaitCommEvent) waits together
// with a stop event that wake() sets, and a write that cannot even be started returns at
// once instead of waiting for a completion that will never be signalled. Wine's ways that
// differ from Windows are met where the calls are made: arrival waits that end at once on
// a pseudo-terminal (wait_event), and a second open of a port that is not refused
// (claim_port).
#include "serial/device.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <optional>
#include <string_view>

namespace serial {

namespace {

class Event {
public:
    Event() : handle_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

class Win32Device final : public Device {
public:
    Win32Device(HANDLE device, HANDLE claim) : device_(device), claim_(claim) {}
    ~Win32Device() override {
        CloseHandle(device_);
        CloseHandle(claim_);
    }

    Arrival wait_input() override {
        if (stop_.get() == nullptr || arrived_.get() == nullptr) return Arrival::kFailed;
        for (;;) {
            std::optional<DWORD> count = queued();
            if (!count) return Arrival::kFailed;
            if (*count != 0) return Arrival::kBytes;
            if (polling_) {
                if (WaitForSingleObject(stop_.get(), kPollMs) == WAIT_OBJECT_0) return woken();
                continue;
            }
            std::optional<Arrival> event = wait_event();
            if (event) return *event == Arrival::kWoken ? woken() : *event;
        }
    }

    int read_some(std::span<std::uint8_t> out) override {
        DWORD want = std::min<DWORD>(queued().value_or(0), static_cast<DWORD>(out.size()));
        if (want == 0) return 0;
        Event done;
        OVERLAPPED read{};
        read.hEvent = done.get();
        DWORD got = 0;
        if (!ReadFile(device_, out.data(), want, &got, &read)) {
            if (GetLastError() != ERROR_IO_PENDING) return 0;
            // Reads return what has arrived (the timeouts set at open), so this completes
            // at once; waiting for it keeps the kernel from writing into the buffer after
            // we return.
            if (!GetOverlappedResult(device_, &read, &got, TRUE)) return 0;
        }
        return static_cast<int>(got);
    }

    int write(std::span<const std::uint8_t> bytes) override {
        if (bytes.empty()) return 0;
        Event done;
        if (done.get() == nullptr) return 0;
        OVERLAPPED write{};
        write.hEvent = done.get();
        DWORD written = 0;
        if (!WriteFile(device_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &write)) {
            if (GetLastError() != ERROR_IO_PENDING) return 0;  // never started
            if (!GetOverlappedResult(device_, &write, &written, TRUE))
                return static_cast<int>(written);
        }
        return static_cast<int>(written);
    }

    bool apply(const Dcb& dcb) override {
        DCB platform{};
        std::string bytes = to_bytes(dcb);
        std::memcpy(&platform, bytes.data(), sizeof platform);
        return SetCommState(device_, &platform) != 0;
    }

    void wake() override { SetEvent(stop_.get()); }

private:
    // How often a device whose arrival events do not work is looked at while it is quiet,
    // and how long one arrival wait may last before the queue is looked at again (an
    // arrival the platform failed to report is then late, never lost).
    static constexpr DWORD kPollMs = 5;
    static constexpr DWORD kEventWaitMs = 100;

    // The count of received bytes waiting in the device, clearing any line error on the
    // way; nothing when the device is gone.
    std::optional<DWORD> queued() {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(device_, &errors, &status)) return std::nullopt;
        return status.cbInQue;
    }

    // A wake is answered once: the caller looks at why it was woken before it waits again.
    Arrival woken() {
        ResetEvent(stop_.get());
        return Arrival::kWoken;
    }

    // One overlapped arrival wait, together with the stop event; nothing when it ended
    // without telling (look at the queue again). An arrival event reports only bytes that
    // come while the wait is pending, so the queue is looked at once more after it has
    // started. Wine ends every pending wait on a pseudo-terminal at once as aborted: the
    // device is then looked at every kPollMs instead.
    std::optional<Arrival> wait_event() {
        OVERLAPPED wait{};
        wait.hEvent = arrived_.get();
        ResetEvent(arrived_.get());
        DWORD mask = 0;
        if (WaitCommEvent(device_, &mask, &wait)) return std::nullopt;
        if (GetLastError() != ERROR_IO_PENDING) return Arrival::kFailed;
        HANDLE both[2] = {stop_.get(), arrived_.get()};
        std::optional<DWORD> count = queued();
        DWORD which = count.value_or(0) != 0 ? WAIT_OBJECT_0
                                             : WaitForMultipleObjects(2, both, FALSE, kEventWaitMs);
        if (which != WAIT_OBJECT_0 + 1) {
            // The pending wait refers to our record: end it before the record goes.
            CancelIo(device_);
            DWORD ignored = 0;
            GetOverlappedResult(device_, &wait, &ignored, TRUE);
            if (WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0) return Arrival::kWoken;
            return std::nullopt;
        }
        DWORD ignored = 0;
        if (GetOverlappedResult(device_, &wait, &ignored, FALSE)) return std::nullopt;
        if (GetLastError() != ERROR_OPERATION_ABORTED) return Arrival::kFailed;
        polling_ = true;
        return std::nullopt;
    }

    const HANDLE device_;
    const HANDLE claim_;    // the port's claim (see claim_port), released after the device
    Event stop_;            // set by wake(), reset by the wait it ends
    Event arrived_;         // reader thread only
    bool polling_ = false;  // reader thread only: the arrival events do not work
};

static_assert(sizeof(DCB) == kDcbSize, "the settings record is the platform's DCB");

// Windows refuses a second open of a serial port that is open without sharing, but Wine
// opens it again. A named object per port, held while it is open, refuses the second
// opener there too: "COM5" and "\\.\com5" are one claim. Nothing when already claimed.
HANDLE claim_port(const std::string& path) {
    std::string name = "velkan-serial-port:";
    std::string_view port = path;
    if (port.substr(0, 4) == "\\\\.\\") port.remove_prefix(4);
    for (char c : port)
        name.push_back(c == '\\' ? '/'
                                 : static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    HANDLE claim = CreateMutexA(nullptr, FALSE, name.c_str());
    if (claim != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(claim);
        return nullptr;
    }
    return claim;
}

}  // namespace

std::unique_ptr<Device> open_device(const std::string& path, std::uint16_t in_queue,
                                    std::uint16_t out_queue) {
    HANDLE claim = claim_port(path);
    if (claim == nullptr) return nullptr;
    HANDLE device =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        CloseHandle(claim);
        return nullptr;
    }
    SetupComm(device, in_queue, out_queue);
    // A read takes what has arrived and never waits for more: the bytes the reader counted
    // may be gone when it reads them (a purge), and the device keeps timeouts an earlier
    // user left. Writes keep no time limit.
    COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 0};
    if (!SetCommTimeouts(device, &timeouts)) {
        CloseHandle(device);
        CloseHandle(claim);
        return nullptr;
    }
    SetCommMask(device, EV_RXCHAR);
    EscapeCommFunction(device, SETDTR);
    return std::make_unique<Win32Device>(device, claim);
}

bool build_dcb(const std::string& definition, Dcb& dcb) {
    DCB platform{};
    std::string bytes = to_bytes(dcb);
    std::memcpy(&platform, bytes.data(), sizeof platform);
    if (!BuildCommDCBA(definition.c_str(), &platform)) return false;
    std::memcpy(bytes.data(), &platform, sizeof platform);
    dcb = *from_bytes(bytes);
    return true;
}

}  // namespace serial
