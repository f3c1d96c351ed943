#include "dbf/errors.h"

#include "dbf/file_io.h"

namespace dbf {

runtime::Value raise_error(const Failure& f) {
    runtime::Error e;
    e.gencode = f.gencode;
    e.subcode = f.subcode;
    e.oscode = f.oscode;
    e.subsystem = kSubsystem;
    e.description = f.description;
    e.filename = f.filename;
    e.operation = f.operation;
    e.candefault = f.candefault;
    return runtime::raise(e);
}

runtime::Value raise_io(int gencode, int fallback_subcode, int code, const std::string& file,
                        const std::string& operation) {
    bool full = code == oscode::kDiskFull;
    return raise_error({gencode, full ? subcode::kDiskFull : fallback_subcode, code,
                        full ? "Not enough space on the disk" : "File error", file, operation,
                        false});
}

runtime::Value raise_corrupt(const std::string& file, const std::string& what,
                             const std::string& operation) {
    return raise_error({runtime::gencode::kCorruption, subcode::kCorrupt, 0,
                        "Corruption detected: " + what, file, operation, false});
}

}  // namespace dbf
