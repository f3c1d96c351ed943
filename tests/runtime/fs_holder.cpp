// The second process of the sharing tests: opens a file through the file-system seam and
// keeps it open until its standard input ends.
//   fs_holder <path> shared|exclusive
// prints "open <code>" (0 or the Windows error number) once the open is done.
#include <cstdio>
#include <iostream>
#include <string>

#include "runtime/fs.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    runtime::Share share =
        std::string(argv[2]) == "exclusive" ? runtime::Share::kExclusive : runtime::Share::kShared;
    runtime::FileHandle file = runtime::kNoFile;
    int code = runtime::open_file(argv[1], runtime::Access::kRead, share,
                                  runtime::Disposition::kOpenExisting, file);
    std::printf("open %d\n", code);
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    if (code == 0) runtime::close_file(file);
    return 0;
}
