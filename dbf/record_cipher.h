// Encryption of a password-protected table's records: ChaCha20 (RFC 8439) used as a
// stream cipher over each record's field bytes. The 256-bit key is the password's first
// 8 bytes followed by 24 zero bytes (a shorter password is padded with zeros); the 96-bit
// nonce is the record number as 4 little-endian bytes and 8 zero bytes; the block
// counter starts at 0. The deletion flag stays in clear, as does the header, so other
// tools still see the record count and which records are deleted.
//
// What this gives: without the password the fields read as noise, and ChaCha20 itself
// has no known weakness. What it cannot give with an in-place, length-keeping layout:
// the key has only 64 bits of password, and a record rewritten keeps its keystream, so
// two versions of one record XORed together show where they differ. Memo texts are not
// encrypted.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dbf {

class RecordCipher {
public:
    explicit RecordCipher(std::string_view password);
    // Encrypts or decrypts (the same operation) bytes [1, size) of a record in place.
    void apply(std::uint32_t recno, std::string& record) const;

    // One 64-byte ChaCha20 block, exposed for checking against the RFC's test vectors.
    static std::array<std::uint8_t, 64> block(const std::array<std::uint8_t, 32>& key,
                                              std::uint32_t counter,
                                              const std::array<std::uint8_t, 12>& nonce);

private:
    std::array<std::uint8_t, 32> key_{};
};

}  // namespace dbf
