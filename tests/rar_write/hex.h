#pragma once
// Hex strings for test vectors.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rarwritetest {

inline std::vector<std::uint8_t> fromHex(std::string_view hex) {
    std::vector<std::uint8_t> out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else continue;  // blanks between bytes
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(nibble * 16 + v));
            nibble = -1;
        }
    }
    return out;
}

inline std::string toHex(std::span<const std::uint8_t> bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

inline std::span<const std::uint8_t> bytesOf(std::string_view s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace rarwritetest
