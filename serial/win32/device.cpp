// The Win32 communications backend. The device is opened overlapped, so every wait on it
// carries an OVERLAPPED record: the reader's event wait (WaitCommEvent) waits together
// with a stop event that wake() sets, and a write that cannot even be started returns at
// once instead of waiting for a completion that will never be signalled.
#include "serial/device.h"

#include <windows.h>

#include <cstring>

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
    explicit Win32Device(HANDLE device) : device_(device) {}
    ~Win32Device() override { CloseHandle(device_); }

    Arrival wait_input() override {
        if (stop_.get() == nullptr || arrived_.get() == nullptr) return Arrival::kFailed;
        OVERLAPPED wait{};
        wait.hEvent = arrived_.get();
        ResetEvent(arrived_.get());
        DWORD mask = 0;
        if (!WaitCommEvent(device_, &mask, &wait)) {
            if (GetLastError() != ERROR_IO_PENDING) return Arrival::kFailed;
            HANDLE both[2] = {stop_.get(), arrived_.get()};
            DWORD which = WaitForMultipleObjects(2, both, FALSE, INFINITE);
            if (which != WAIT_OBJECT_0 + 1) {
                // The pending wait refers to our record: end it before the record goes.
                CancelIo(device_);
                DWORD ignored = 0;
                GetOverlappedResult(device_, &wait, &ignored, TRUE);
                return Arrival::kWoken;
            }
            DWORD ignored = 0;
            if (!GetOverlappedResult(device_, &wait, &ignored, FALSE)) return Arrival::kFailed;
        }
        return WaitForSingleObject(stop_.get(), 0) == WAIT_OBJECT_0 ? Arrival::kWoken
                                                                    : Arrival::kBytes;
    }

    int read_some(std::span<std::uint8_t> out) override {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(device_, &errors, &status)) return 0;
        DWORD want = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(out.size()));
        if (want == 0) return 0;
        Event done;
        OVERLAPPED read{};
        read.hEvent = done.get();
        DWORD got = 0;
        if (!ReadFile(device_, out.data(), want, &got, &read)) {
            if (GetLastError() != ERROR_IO_PENDING) return 0;
            // The bytes are already queued, so this completes at once; waiting for it
            // keeps the kernel from writing into the buffer after we return.
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
    const HANDLE device_;
    Event stop_;     // set by wake()
    Event arrived_;  // reader thread only
};

static_assert(sizeof(DCB) == kDcbSize, "the settings record is the platform's DCB");

}  // namespace

std::unique_ptr<Device> open_device(const std::string& path, std::uint16_t in_queue,
                                    std::uint16_t out_queue) {
    HANDLE device =
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE) return nullptr;
    SetupComm(device, in_queue, out_queue);
    SetCommMask(device, EV_RXCHAR);
    EscapeCommFunction(device, SETDTR);
    return std::make_unique<Win32Device>(device);
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
