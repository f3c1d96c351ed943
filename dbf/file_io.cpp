// The portable half of the file seam: which layer opens the files.
#include "dbf/file_io.h"

namespace dbf {
namespace {

FileLayer*& installed() {
    static FileLayer* layer = &system_file_layer();
    return layer;
}

}  // namespace

FileLayer& install_file_layer(FileLayer& layer) {
    FileLayer& previous = *installed();
    installed() = &layer;
    return previous;
}

int File::open(const std::string& path, Access access, Share share) {
    close();
    return installed()->open(path, access, share, file_);
}

int File::create(const std::string& path) {
    close();
    return installed()->create(path, file_);
}

}  // namespace dbf
