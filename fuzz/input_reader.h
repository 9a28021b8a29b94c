// Reads the fuzzer's bytes as the values a harness needs, front to back; past
// the end every value reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace valmora::fuzz {

class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Left() const { return size_ - pos_; }

    template <typename T>
    T Next() {
        T value{};
        const std::size_t n = sizeof(T) < Left() ? sizeof(T) : Left();
        if (n > 0) std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

}  // namespace valmora::fuzz
