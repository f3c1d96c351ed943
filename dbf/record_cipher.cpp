#include "dbf/record_cipher.h"

namespace dbf {
namespace {

constexpr std::uint32_t rotl(std::uint32_t v, int c) { return (v << c) | (v >> (32 - c)); }

void quarter(std::uint32_t* x, int a, int b, int c, int d) {
    x[a] += x[b];
    x[d] = rotl(x[d] ^ x[a], 16);
    x[c] += x[d];
    x[b] = rotl(x[b] ^ x[c], 12);
    x[a] += x[b];
    x[d] = rotl(x[d] ^ x[a], 8);
    x[c] += x[d];
    x[b] = rotl(x[b] ^ x[c], 7);
}

std::uint32_t le(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

RecordCipher::RecordCipher(std::string_view password) {
    for (std::size_t i = 0; i < 8 && i < password.size(); ++i)
        key_[i] = static_cast<std::uint8_t>(password[i]);
}

std::array<std::uint8_t, 64> RecordCipher::block(const std::array<std::uint8_t, 32>& key,
                                                 std::uint32_t counter,
                                                 const std::array<std::uint8_t, 12>& nonce) {
    std::uint32_t state[16] = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    for (int i = 0; i < 8; ++i) state[4 + i] = le(key.data() + 4 * i);
    state[12] = counter;
    for (int i = 0; i < 3; ++i) state[13 + i] = le(nonce.data() + 4 * i);
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = state[i];
    for (int round = 0; round < 10; ++round) {
        quarter(x, 0, 4, 8, 12);
        quarter(x, 1, 5, 9, 13);
        quarter(x, 2, 6, 10, 14);
        quarter(x, 3, 7, 11, 15);
        quarter(x, 0, 5, 10, 15);
        quarter(x, 1, 6, 11, 12);
        quarter(x, 2, 7, 8, 13);
        quarter(x, 3, 4, 9, 14);
    }
    std::array<std::uint8_t, 64> out{};
    for (int i = 0; i < 16; ++i) {
        std::uint32_t v = x[i] + state[i];
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<std::uint8_t>(v >> (8 * b));
    }
    return out;
}

void RecordCipher::apply(std::uint32_t recno, std::string& record) const {
    std::array<std::uint8_t, 12> nonce{};
    for (int b = 0; b < 4; ++b) nonce[b] = static_cast<std::uint8_t>(recno >> (8 * b));
    std::uint32_t counter = 0;
    for (std::size_t at = 1; at < record.size(); ++counter) {
        std::array<std::uint8_t, 64> stream = block(key_, counter, nonce);
        for (std::size_t i = 0; i < 64 && at < record.size(); ++i, ++at)
            record[at] = static_cast<char>(static_cast<std::uint8_t>(record[at]) ^ stream[i]);
    }
}

}  // namespace dbf
