#include "dbf/errors.h"

#include "dbf/file_io.h"

namespace dbf {

runtime::Value raise_io(int gencode, int fallback_subcode, int code, const std::string& file,
                        const std::string& operation) {
    bool full = code == oscode::kDiskFull;
    return runtime::raise({.gencode = gencode,
                           .subcode = full ? subcode::kDiskFull : fallback_subcode,
                           .oscode = code,
                           .subsystem = kSubsystem,
                           .description = full ? "Not enough space on the disk" : "File error",
                           .filename = file,
                           .operation = operation});
}

runtime::Value raise_corrupt(const std::string& file, const std::string& what,
                             const std::string& operation) {
    return runtime::raise({.gencode = runtime::gencode::kCorruption,
                           .subcode = subcode::kCorrupt,
                           .subsystem = kSubsystem,
                           .description = "Corruption detected: " + what,
                           .filename = file,
                           .operation = operation});
}

}  // namespace dbf
