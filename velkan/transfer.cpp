#include "runtime/frame.h"
#include "runtime/text1252.h"
#include "velkan/tap_block.h"
#include "velkan/velkan.h"

namespace velkan {
namespace {

// The header block's length and flag bytes: 19, low byte first, then 0x00.
const std::string kHeaderStart("\x13\x00\x00", 3);
const std::string kRequest("\x00", 1);
const std::string kEndOfTransfer = "\x09";
// The file's type, its data length (2 bytes) and its two parameters (2 bytes each).
constexpr int kDescriptionBytes = 7;

unsigned code(const std::string& byte) {
    return byte.empty() ? 0 : static_cast<unsigned char>(byte[0]);
}

// Fetches one file and returns its header and data blocks.
std::string fetch(serial::PortHandle port, winlib::TMultiGet& log, const std::string& name) {
    MESSAGE(log, "Receiving file " + runtime::trim(name) + "...");
    SENDSTR(port, kRequest);
    SENDSTR(port, name);
    WAITCOMMAND();  // the reply byte

    // Any byte that did not come (a time-out or Esc) leaves the image damaged; the warning
    // counts the description's bytes apart from the data's, whose count is known only when
    // both length bytes came.
    int missing = 0;
    auto next = [&missing] {
        std::string byte = WAITCHAR();
        if (byte.empty()) ++missing;
        return byte;
    };
    std::string block = kHeaderStart + next() + name;
    std::string low = next(), high = next();
    bool length_lost = low.empty() || high.empty();
    unsigned n = code(low) + 256 * code(high);
    block += low + high;
    for (int i = 0; i < 4; ++i) block += next();  // the two parameters
    const int description_came = kDescriptionBytes - missing;
    block += static_cast<char>(xor_of(std::string_view(block).substr(3)));
    block += data_block_length(n) + '\xFF';

    std::string data;
    data.reserve(n);
    for (unsigned i = 0; i < n; ++i) data += next();
    block += data;
    block += static_cast<char>(xor_of(data, 0xFF));
    WAITCOMMAND();  // the closing byte

    if (missing > 0) {
        std::string data_count =
            length_lost ? "data length lost"
                        : std::to_string(data.size()) + " of " + std::to_string(n) + " data bytes";
        MESSAGE(log, "Warning: file " + runtime::trim(name) + " incomplete (" +
                         std::to_string(description_came) + " of " +
                         std::to_string(kDescriptionBytes) + " description bytes, " + data_count +
                         ").");
    }
    return block;
}

}  // namespace

std::string& tap_image() {
    static std::string image;
    return image;
}

void VELKAN(serial::PortHandle port, winlib::TMultiGet& oLog, const FileList& files) {
    runtime::Frame frame("VELKAN");
    frame.next_line();
    for (const std::string& name : files) tap_image() += fetch(port, oLog, name);
    frame.next_line();
    SENDSTR(port, kEndOfTransfer);
    frame.next_line();
    SAVE();
    frame.next_line();
    if (oLog.oWnd) oLog.oWnd->End();
}

}  // namespace velkan
