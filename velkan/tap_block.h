// The TAP image: for each file a 21-byte header block and a data block, each preceded by
// its length (low byte first) and ended by an XOR check byte.
//
// Header block                         Data block
// | off | size | value               | | off   | size | value                    |
// |-----|------|---------------------| |-------|------|--------------------------|
// | 0   | 2    | 19 (0x13 0x00)      | | 0     | 2    | n + 2, low byte first    |
// | 2   | 1    | 0x00, header flag   | | 2     | 1    | 0xFF, data flag          |
// | 3   | 1    | file type           | | 3     | n    | the data                 |
// | 4   | 10   | file name           | | 3 + n | 1    | 0xFF XOR every data byte |
// | 14  | 2    | data length n       |
// | 16  | 2    | first parameter     |
// | 18  | 2    | second parameter    |
// | 20  | 1    | XOR of offsets 3-19 |
//
// Bytes the device did not send are simply absent, which shortens the block and shifts
// what follows; the declared lengths stay as they were built.
#pragma once

#include <string>
#include <string_view>

namespace velkan {

// The XOR of every byte, starting from a seed.
unsigned char xor_of(std::string_view bytes, unsigned char seed = 0);

// The two length bytes of a data block for n data bytes: n + 2, low byte first, each
// taken modulo 256 (so 65534 gives 00 00 and 65535 gives 01 00).
std::string data_block_length(unsigned n);

}  // namespace velkan
