#include "velkan/tap_block.h"

namespace velkan {

unsigned char xor_of(std::string_view bytes, unsigned char seed) {
    for (char c : bytes) seed ^= static_cast<unsigned char>(c);
    return seed;
}

std::string data_block_length(unsigned n) {
    unsigned total = n + 2;
    return {static_cast<char>(total % 256), static_cast<char>((total / 256) % 256)};
}

}  // namespace velkan
