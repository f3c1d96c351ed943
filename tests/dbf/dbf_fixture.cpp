#include "dbf_fixture.h"

#include <fstream>
#include <sstream>

namespace dbf_test {

std::string DbfTest::read_bytes(const std::string& file) const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void DbfTest::write_bytes(const std::string& file, const std::string& bytes) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace dbf_test
