// The test handler of mailto addresses: the desktop's opener (xdg-open, or the Windows
// shell under Wine) starts it with the address; it writes the address, as it came, into
// the file named first.
//
//   record_argument OUTPUT ADDRESS
#include <fstream>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::ofstream(argv[1], std::ios::binary) << argv[2];
    return 0;
}
