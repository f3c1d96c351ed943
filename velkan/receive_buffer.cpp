#include "velkan/receive_buffer.h"

namespace velkan {

std::string ReceiveBuffer::take() {
    if (empty()) return "";
    std::string byte(1, bytes_[front_++]);
    // Drop the taken bytes once they outweigh the rest, so memory follows what is unread
    // and each byte is moved at most once on average.
    if (front_ == bytes_.size()) {
        bytes_.clear();
        front_ = 0;
    } else if (front_ > 4096 && front_ * 2 > bytes_.size()) {
        bytes_.erase(0, front_);
        front_ = 0;
    }
    return byte;
}

}  // namespace velkan
