#pragma once
// Bounds-checked little-endian decoding of header bytes. A read past the end marks the
// reader failed and yields zeros, so a decoder checks failed() once per header instead
// of after every field.
#include <cstddef>
#include <cstdint>
#include <span>

namespace rar {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint8_t u8() {
        if (!need(1)) return 0;
        return bytes_[pos_++];
    }
    std::uint16_t u16() {
        if (!need(2)) return 0;
        std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        if (!need(4)) return 0;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | bytes_[pos_ + static_cast<std::size_t>(i)];
        pos_ += 4;
        return v;
    }
    std::uint64_t u64() {
        std::uint64_t lo = u32();
        std::uint64_t hi = u32();
        return hi << 32 | lo;
    }
    // RAR5 variable-length integer: 7 bits per byte, lowest group first, the high bit set
    // on every byte but the last; padded forms such as 80 80 00 are legal. More than ten
    // bytes, or bits beyond 64, mark the reader failed.
    std::uint64_t vint() {
        std::uint64_t value = 0;
        for (unsigned shift = 0; shift < 70; shift += 7) {
            if (!need(1)) return 0;
            std::uint8_t b = bytes_[pos_++];
            std::uint64_t part = b & 0x7F;
            if (shift == 63 && part > 1) return fail();
            if (shift < 64) value |= part << shift;
            else if (part != 0) return fail();
            if ((b & 0x80) == 0) return value;
        }
        return fail();
    }
    std::span<const std::uint8_t> bytes(std::size_t n) {
        if (!need(n)) return {};
        auto s = bytes_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    void skip(std::uint64_t n) {
        if (n > remaining()) {
            failed_ = true;
            pos_ = bytes_.size();
            return;
        }
        pos_ += static_cast<std::size_t>(n);
    }
    void seek(std::size_t pos) {
        if (pos > bytes_.size()) {
            failed_ = true;
            pos_ = bytes_.size();
            return;
        }
        pos_ = pos;
    }

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool failed() const { return failed_; }

private:
    bool need(std::size_t n) {
        if (failed_ || n > bytes_.size() - pos_) {
            failed_ = true;
            return false;
        }
        return true;
    }
    std::uint64_t fail() {
        failed_ = true;
        return 0;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Little-endian stores into a buffer the caller has sized.
inline void putLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace rar
