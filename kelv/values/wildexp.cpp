#include "kelv/values/wildexp.h"

#include "runtime/fs.h"

namespace kelv {

std::vector<std::string> WILDEXP(const std::vector<std::string>& aPatterns) {
    std::vector<std::string> names;
    for (const std::string& pattern : aPatterns)
        for (runtime::DirEntry& entry : runtime::list_directory(pattern))
            if (!entry.directory && !entry.system) names.push_back(std::move(entry.name));
    return names;
}

}  // namespace kelv
