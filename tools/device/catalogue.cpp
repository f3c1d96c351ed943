#include "tools/device/catalogue.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/text1252.h"

namespace device {

namespace {

constexpr std::size_t kNameSize = 10;
constexpr std::size_t kMostData = 65535;

struct Block {
    std::size_t offset;
    std::string bytes;  // flag, content, check byte
};

bool is_header(const Block& b) { return b.bytes.size() == 19 && b.bytes[0] == '\0'; }

}  // namespace

void Catalogue::add(DeviceFile file) { files_.push_back(std::move(file)); }

std::optional<DeviceFile> Catalogue::next(const std::string& name) {
    std::vector<const DeviceFile*> same;
    for (const DeviceFile& f : files_) {
        if (f.name == name) same.push_back(&f);
    }
    if (same.empty()) return std::nullopt;
    std::size_t& served = served_[name];
    return *same[served++ % same.size()];
}

bool read_tap(const std::string& image, Catalogue& catalogue, std::vector<std::string>& warnings) {
    std::vector<Block> blocks;
    for (std::size_t at = 0; at < image.size();) {
        if (image.size() - at < 2) {
            warnings.push_back("block at offset " + std::to_string(at) + " is cut short");
            return false;
        }
        std::size_t length = static_cast<unsigned char>(image[at]) |
                             static_cast<std::size_t>(static_cast<unsigned char>(image[at + 1]))
                                 << 8;
        if (image.size() - at - 2 < length) {
            warnings.push_back("block at offset " + std::to_string(at) + " is cut short");
            return false;
        }
        blocks.push_back({at, image.substr(at + 2, length)});
        at += 2 + length;
    }
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const Block& b = blocks[i];
        std::string where = "block at offset " + std::to_string(b.offset);
        if (!is_header(b)) {
            warnings.push_back(where + " has no header: skipped");
            continue;
        }
        if (i + 1 == blocks.size() || is_header(blocks[i + 1]) || blocks[i + 1].bytes.size() < 2) {
            warnings.push_back(where + " is a header without a data block: skipped");
            continue;
        }
        const std::string& h = b.bytes;
        const std::string& d = blocks[++i].bytes;
        DeviceFile f;
        f.type = static_cast<std::uint8_t>(h[1]);
        f.name = h.substr(2, kNameSize);
        f.parameters = h.substr(14, 4);
        f.data = d.substr(1, d.size() - 2);
        std::size_t declared = static_cast<unsigned char>(h[12]) |
                               static_cast<std::size_t>(static_cast<unsigned char>(h[13])) << 8;
        if (declared != f.data.size()) {
            warnings.push_back(where + " declares " + std::to_string(declared) +
                               " data bytes, its data block holds " +
                               std::to_string(f.data.size()) + ": the data block counts");
        }
        catalogue.add(std::move(f));
    }
    return true;
}

bool read_folder(const std::string& folder, std::uint8_t type, const std::string& parameters,
                 Catalogue& catalogue, std::vector<std::string>& warnings) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> paths;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        if (e.is_regular_file()) paths.push_back(e.path());
    }
    if (ec) {
        warnings.push_back("cannot read the folder " + folder + ": " + ec.message());
        return false;
    }
    std::sort(paths.begin(), paths.end());
    for (const fs::path& p : paths) {
        std::string name = runtime::from_utf8(p.filename().string());
        if (name.size() > kNameSize) {
            warnings.push_back(p.string() + ": name longer than 10 bytes, skipped");
            continue;
        }
        std::ifstream in(p, std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (data.size() > kMostData) {
            warnings.push_back(p.string() + ": more than 65535 bytes, skipped");
            continue;
        }
        name.resize(kNameSize, ' ');
        catalogue.add({name, type, parameters, std::move(data)});
    }
    return true;
}

}  // namespace device
