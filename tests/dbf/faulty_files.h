// The file layer as the engine's tests install it over the system's (dbf/file_io.h): every
// call goes on to the system, except one chosen call, which fails. Installed for its
// lifetime; the tables opened through it are closed before it goes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dbf/file_io.h"

namespace dbf_test {

class FaultyFiles final : public dbf::FileLayer {
public:
    enum class Call { kRead, kWrite, kLock, kFlush };

    struct Fault {
        Call call = Call::kWrite;
        int nth = 1;     // the nth call of its kind after arm(), from 1
        int oscode = 0;  // the Windows error number it answers (a lock is refused instead)
        // A write puts the first half of its bytes on the disk before failing, as a disk
        // that fills up during the write does.
        bool short_write = false;
    };

    FaultyFiles();
    ~FaultyFiles() override;
    FaultyFiles(const FaultyFiles&) = delete;
    FaultyFiles& operator=(const FaultyFiles&) = delete;

    // From now on the fault's call fails, once.
    void arm(const Fault& fault);
    bool fired() const { return fired_; }

    int open(const std::string& path, dbf::File::Access access, dbf::File::Share share,
             std::unique_ptr<dbf::OpenFile>& file) override;
    int create(const std::string& path, std::unique_ptr<dbf::OpenFile>& file) override;

private:
    class Faulty;
    // Counts a call; the fault when this call is the one to fail.
    const Fault* strikes(Call call);
    int wrap(int code, std::unique_ptr<dbf::OpenFile>& file);

    dbf::FileLayer& below_;
    std::optional<Fault> fault_;
    int seen_ = 0;
    bool fired_ = false;
};

}  // namespace dbf_test
