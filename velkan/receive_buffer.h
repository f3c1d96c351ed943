// The receive buffer: bytes the arrival notifications delivered, taken one at a time from
// the front. Taking a byte costs constant time however long the buffer has grown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkan {

class ReceiveBuffer {
public:
    void append(std::string_view bytes) { bytes_.append(bytes); }
    bool empty() const { return front_ == bytes_.size(); }
    std::size_t size() const { return bytes_.size() - front_; }
    // The first byte, removed; "" when the buffer is empty.
    std::string take();

private:
    std::string bytes_;
    std::size_t front_ = 0;  // bytes before it were taken already
};

}  // namespace velkan
