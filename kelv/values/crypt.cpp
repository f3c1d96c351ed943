#include "kelv/values/crypt.h"

#include <cmath>

#include "runtime/empty_value.h"
#include "runtime/number_text.h"

namespace kelv {

runtime::Value CRYPT(const runtime::Value& xValue) {
    if (runtime::is_empty_value(xValue)) return xValue;
    if (xValue.is_text()) {
        runtime::Value out = xValue;
        std::string& text = out.text();
        for (char& c : text) c = static_cast<char>(static_cast<unsigned char>(c) ^ 0x80);
        return out;
    }
    if (xValue.is_number()) {
        double k = static_cast<double>(runtime::number_text(xValue.number_info()).size());
        return (std::pow(10.0, k) - 1) - xValue.number();
    }
    return xValue;
}

}  // namespace kelv
