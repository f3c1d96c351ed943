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

unsigned code(const std::string& byte) {
    return byte.empty() ? 0 : static_cast<unsigned char>(byte[0]);
}

// Fetches one file and returns its header and data blocks.
std::string fetch(serial::PortHandle port, winlib::TMultiGet& log, const std::string& name) {
    MESSAGE(log, "Receiving file " + runtime::trim(name) + "...");
    SENDSTR(port, kRequest);
    SENDSTR(port, name);
    WAITCOMMAND();  // the reply byte

    // Any byte that did not come (a time-out or Esc) leaves the image damaged.
    bool missed = false;
    auto next = [&missed] {
        std::string byte = WAITCHAR();
        missed = missed || byte.empty();
        return byte;
    };
    std::string block = kHeaderStart + next() + name;
    std::string low = next(), high = next();
    unsigned n = code(low) + 256 * code(high);
    block += low + high;
    for (int i = 0; i < 4; ++i) block += next();  // the two parameters
    block += static_cast<char>(xor_of(std::string_view(block).substr(3)));
    block += data_block_length(n) + '\xFF';

    std::string data;
    data.reserve(n);
    for (unsigned i = 0; i < n; ++i) data += next();
    block += data;
    block += static_cast<char>(xor_of(data, 0xFF));
    WAITCOMMAND();  // the closing byte

    if (missed)
        MESSAGE(log, "Warning: file " + runtime::trim(name) + " incomplete (" +
                         std::to_string(data.size()) + " of " + std::to_string(n) + " bytes).");
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
