#pragma once
// BLAKE2sp, the 8-way parallel tree form of BLAKE2s with a 32-byte digest, which RAR5
// stores in place of a CRC32 when asked to (hash record type 0).
#include <array>
#include <cstdint>
#include <span>

namespace rar {

class Blake2sp {
public:
    Blake2sp();
    void update(std::span<const std::uint8_t> bytes);
    std::array<std::uint8_t, 32> finish();

    // One BLAKE2s state; public for the tests of the plain hash.
    struct State {
        std::array<std::uint32_t, 8> h{};
        std::array<std::uint32_t, 2> t{};
        std::array<std::uint8_t, 64> buf{};
        std::size_t buflen = 0;
        bool lastNode = false;
        void init(std::uint8_t fanout, std::uint8_t depth, std::uint32_t nodeOffset, std::uint8_t nodeDepth,
                  std::uint8_t innerLength);
        void update(const std::uint8_t* in, std::size_t len);
        std::array<std::uint8_t, 32> finish();
    };

private:
    std::array<State, 8> leaves_;
    std::uint64_t position_ = 0;  // bytes taken so far: picks the leaf of the next block
};

}  // namespace rar
