// The files a device serves, found by their 10-byte names. A name that occurs several
// times is served in order of occurrence: the n-th request for it gets its n-th file,
// and after the last one the first again.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace device {

struct DeviceFile {
    std::string name;  // exactly 10 bytes
    std::uint8_t type = 3;
    std::string parameters;  // 4 bytes: first and second parameter, as on the tape
    std::string data;        // at most 65535 bytes
};

class Catalogue {
public:
    void add(DeviceFile file);
    // The next file of that name; nothing when the device has none.
    std::optional<DeviceFile> next(const std::string& name);
    const std::vector<DeviceFile>& files() const { return files_; }

private:
    std::vector<DeviceFile> files_;
    std::map<std::string, std::size_t> served_;  // requests answered per name
};

// Reads a TAP image: each header block and the data block after it is one file. Blocks
// without a header are not files: they are skipped with a warning, as is a header with
// no data block. False (with a reason in warnings) when the image is cut short.
bool read_tap(const std::string& image, Catalogue& catalogue, std::vector<std::string>& warnings);

// Every regular file of the folder whose name fits in 10 bytes and whose size in 65535:
// the name padded with blanks, the given type and parameters.
bool read_folder(const std::string& folder, std::uint8_t type, const std::string& parameters,
                 Catalogue& catalogue, std::vector<std::string>& warnings);

}  // namespace device
