#include "archiver/rar/blake2sp.h"

#include <algorithm>
#include <cstring>

namespace rar {
namespace {

constexpr std::array<std::uint32_t, 8> kIv = {0x6A09E667, 0xBB67AE85, 0x3C6EF372, 0xA54FF53A,
                                              0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19};

constexpr std::uint8_t kSigma[10][16] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {14, 10, 4, 8, 9, 15, 13, 6, 1, 12, 0, 2, 11, 7, 5, 3},
    {11, 8, 12, 0, 5, 2, 15, 13, 10, 14, 3, 6, 7, 1, 9, 4}, {7, 9, 3, 1, 13, 12, 11, 14, 2, 6, 5, 10, 4, 0, 15, 8},
    {9, 0, 5, 7, 2, 4, 10, 15, 14, 1, 11, 12, 6, 8, 3, 13}, {2, 12, 6, 10, 0, 11, 8, 3, 4, 13, 7, 5, 15, 14, 1, 9},
    {12, 5, 1, 15, 14, 13, 4, 10, 0, 7, 6, 3, 9, 2, 8, 11}, {13, 11, 7, 14, 12, 1, 3, 9, 5, 0, 15, 4, 8, 6, 2, 10},
    {6, 15, 14, 9, 11, 3, 0, 8, 12, 2, 13, 7, 1, 4, 10, 5}, {10, 2, 8, 4, 7, 6, 1, 5, 15, 11, 9, 14, 3, 12, 13, 0},
};

constexpr std::size_t kBlock = 64;

std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

std::uint32_t load32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

void compress(Blake2sp::State& s, const std::uint8_t* block, bool last) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i) m[i] = load32(block + 4 * i);
    std::uint32_t v[16];
    for (int i = 0; i < 8; ++i) v[i] = s.h[static_cast<std::size_t>(i)];
    for (int i = 0; i < 8; ++i) v[8 + i] = kIv[static_cast<std::size_t>(i)];
    v[12] ^= s.t[0];
    v[13] ^= s.t[1];
    if (last) {
        v[14] = ~v[14];
        if (s.lastNode) v[15] = ~v[15];
    }
    auto g = [&](int r, int i, int a, int b, int c, int d) {
        v[a] = v[a] + v[b] + m[kSigma[r][2 * i]];
        v[d] = rotr(v[d] ^ v[a], 16);
        v[c] = v[c] + v[d];
        v[b] = rotr(v[b] ^ v[c], 12);
        v[a] = v[a] + v[b] + m[kSigma[r][2 * i + 1]];
        v[d] = rotr(v[d] ^ v[a], 8);
        v[c] = v[c] + v[d];
        v[b] = rotr(v[b] ^ v[c], 7);
    };
    for (int r = 0; r < 10; ++r) {
        g(r, 0, 0, 4, 8, 12);
        g(r, 1, 1, 5, 9, 13);
        g(r, 2, 2, 6, 10, 14);
        g(r, 3, 3, 7, 11, 15);
        g(r, 4, 0, 5, 10, 15);
        g(r, 5, 1, 6, 11, 12);
        g(r, 6, 2, 7, 8, 13);
        g(r, 7, 3, 4, 9, 14);
    }
    for (std::size_t i = 0; i < 8; ++i) s.h[i] ^= v[i] ^ v[i + 8];
}

void addCounter(Blake2sp::State& s, std::uint32_t n) {
    s.t[0] += n;
    if (s.t[0] < n) ++s.t[1];
}

}  // namespace

void Blake2sp::State::init(std::uint8_t fanout, std::uint8_t depth, std::uint32_t nodeOffset, std::uint8_t nodeDepth,
                           std::uint8_t innerLength) {
    std::uint8_t p[32] = {};
    p[0] = 32;  // digest length
    p[2] = fanout;
    p[3] = depth;
    p[8] = static_cast<std::uint8_t>(nodeOffset);
    p[9] = static_cast<std::uint8_t>(nodeOffset >> 8);
    p[10] = static_cast<std::uint8_t>(nodeOffset >> 16);
    p[11] = static_cast<std::uint8_t>(nodeOffset >> 24);
    p[14] = nodeDepth;
    p[15] = innerLength;
    for (std::size_t i = 0; i < 8; ++i) h[i] = kIv[i] ^ load32(p + 4 * i);
    t = {0, 0};
    buflen = 0;
    lastNode = false;
}

static void updateState(Blake2sp::State& s, const std::uint8_t* in, std::size_t len) {
    // The last block is held back: it must be compressed with the final flag.
    while (len > 0) {
        if (s.buflen == kBlock) {
            addCounter(s, kBlock);
            compress(s, s.buf.data(), false);
            s.buflen = 0;
        }
        const std::size_t n = std::min(len, kBlock - s.buflen);
        std::memcpy(s.buf.data() + s.buflen, in, n);
        s.buflen += n;
        in += n;
        len -= n;
    }
}

void Blake2sp::State::update(const std::uint8_t* in, std::size_t len) { updateState(*this, in, len); }

std::array<std::uint8_t, 32> Blake2sp::State::finish() {
    addCounter(*this, static_cast<std::uint32_t>(buflen));
    std::fill(buf.begin() + static_cast<std::ptrdiff_t>(buflen), buf.end(), std::uint8_t{0});
    compress(*this, buf.data(), true);
    std::array<std::uint8_t, 32> out{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t k = 0; k < 4; ++k) out[4 * i + k] = static_cast<std::uint8_t>(h[i] >> (8 * k));
    return out;
}

Blake2sp::Blake2sp() {
    for (std::uint32_t i = 0; i < 8; ++i) leaves_[i].init(8, 2, i, 0, 32);
    leaves_[7].lastNode = true;
}

void Blake2sp::update(std::span<const std::uint8_t> bytes) {
    // Block k of the input goes to leaf k mod 8.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t inBlock = static_cast<std::size_t>(position_ % kBlock);
        const std::size_t leaf = static_cast<std::size_t>((position_ / kBlock) % 8);
        const std::size_t n = std::min(bytes.size() - done, kBlock - inBlock);
        leaves_[leaf].update(bytes.data() + done, n);
        done += n;
        position_ += n;
    }
}

std::array<std::uint8_t, 32> Blake2sp::finish() {
    State root;
    root.init(8, 2, 0, 1, 32);
    root.lastNode = true;
    for (auto& leaf : leaves_) {
        const auto d = leaf.finish();
        root.update(d.data(), d.size());
    }
    return root.finish();
}

}  // namespace rar
