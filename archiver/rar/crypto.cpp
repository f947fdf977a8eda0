#include "archiver/rar/crypto.h"

#include <gcrypt.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "archiver/rar/utf16_codec.h"

namespace rar {
namespace {

// libgcrypt wants one initialisation before any other call; readers and the writer may
// reach this from several threads.
void ensureGcrypt() {
    static std::once_flag once;
    std::call_once(once, [] {
        gcry_check_version(nullptr);
        // Secure memory would need privileges; our keys live no longer than one command.
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    });
}

// A message digest context that closes itself.
class Digest {
public:
    Digest(int algorithm, unsigned flags) {
        ensureGcrypt();
        gcry_md_open(&h_, algorithm, flags);
    }
    explicit Digest(gcry_md_hd_t h) : h_(h) {}
    ~Digest() {
        if (h_) gcry_md_close(h_);
    }
    Digest(const Digest&) = delete;
    Digest& operator=(const Digest&) = delete;

    void setKey(std::span<const std::uint8_t> key) { gcry_md_setkey(h_, key.data(), key.size()); }
    void write(const void* data, std::size_t size) { gcry_md_write(h_, data, size); }
    void reset() { gcry_md_reset(h_); }
    const std::uint8_t* read(int algorithm) { return gcry_md_read(h_, algorithm); }
    Digest copy() const {
        gcry_md_hd_t c = nullptr;
        gcry_md_copy(&c, h_);
        return Digest(c);
    }

private:
    gcry_md_hd_t h_ = nullptr;
};

// The SHA-1 of RAR 2.9-4.x hashes the 64-byte blocks that it takes straight from the
// caller's buffer in place, leaving the last 16 words of the message schedule there.
// The KDF feeds the same seed buffer again every round, so later rounds hash the
// altered bytes. Only seeds longer than one block reach that path; this replays it.
void replayScheduleOverwrite(std::uint8_t* block) {
    std::uint32_t w[16];
    for (int i = 0; i < 16; ++i)
        w[i] = (std::uint32_t{block[4 * i]} << 24) | (std::uint32_t{block[4 * i + 1]} << 16) |
               (std::uint32_t{block[4 * i + 2]} << 8) | std::uint32_t{block[4 * i + 3]};
    for (int t = 16; t < 80; ++t) {
        const std::uint32_t x = w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ w[(t - 16) & 15];
        w[t & 15] = (x << 1) | (x >> 31);
    }
    for (int i = 0; i < 16; ++i) {
        block[4 * i] = static_cast<std::uint8_t>(w[i]);
        block[4 * i + 1] = static_cast<std::uint8_t>(w[i] >> 8);
        block[4 * i + 2] = static_cast<std::uint8_t>(w[i] >> 16);
        block[4 * i + 3] = static_cast<std::uint8_t>(w[i] >> 24);
    }
}

constexpr std::size_t kRar3MaxPasswordUnits = 127;
constexpr std::uint32_t kRar3Rounds = 0x40000;

}  // namespace

Rar3Key deriveRar3Key(std::string_view passwordUtf8, std::span<const std::uint8_t> salt8) {
    std::u16string units = utf16FromUtf8(passwordUtf8);
    if (units.size() > kRar3MaxPasswordUnits) units.resize(kRar3MaxPasswordUnits);
    std::vector<std::uint8_t> seed;
    seed.reserve(units.size() * 2 + salt8.size());
    for (char16_t u : units) {
        seed.push_back(static_cast<std::uint8_t>(u & 0xFF));
        seed.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    seed.insert(seed.end(), salt8.begin(), salt8.end());

    Rar3Key out{};
    Digest sha(GCRY_MD_SHA1, 0);
    std::uint64_t hashed = 0;
    for (std::uint32_t i = 0; i < kRar3Rounds; ++i) {
        sha.write(seed.data(), seed.size());
        if (seed.size() > 64) {
            // Blocks the old code hashed straight from the seed: those that start after
            // the partly filled internal buffer has been completed.
            std::size_t pos = 64 - static_cast<std::size_t>(hashed % 64);
            while (pos + 64 <= seed.size()) {
                replayScheduleOverwrite(seed.data() + pos);
                pos += 64;
            }
        }
        hashed += seed.size();
        const std::uint8_t counter[3] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i >> 8),
                                         static_cast<std::uint8_t>(i >> 16)};
        sha.write(counter, 3);
        hashed += 3;
        if (i % 0x4000 == 0) {
            Digest snapshot = sha.copy();
            out.iv[i / 0x4000] = snapshot.read(GCRY_MD_SHA1)[19];
        }
    }
    const std::uint8_t* d = sha.read(GCRY_MD_SHA1);
    for (std::size_t g = 0; g < 4; ++g)
        for (std::size_t k = 0; k < 4; ++k) out.key[4 * g + k] = d[4 * g + 3 - k];
    return out;
}

Rar5Keys deriveRar5Keys(std::string_view passwordUtf8, std::span<const std::uint8_t> salt16, unsigned log2Count) {
    // One PBKDF2 block (SHA-256 gives exactly the 32 bytes needed); the three values are
    // points on the same iteration chain, so it is run once to the furthest.
    Digest hmac(GCRY_MD_SHA256, GCRY_MD_FLAG_HMAC);
    hmac.setKey(std::span(reinterpret_cast<const std::uint8_t*>(passwordUtf8.data()), passwordUtf8.size()));
    std::array<std::uint8_t, 32> u{};
    std::array<std::uint8_t, 32> t{};
    hmac.write(salt16.data(), salt16.size());
    const std::uint8_t blockIndex[4] = {0, 0, 0, 1};
    hmac.write(blockIndex, 4);
    std::memcpy(u.data(), hmac.read(GCRY_MD_SHA256), 32);
    t = u;

    Rar5Keys out{};
    const std::uint64_t rounds = std::uint64_t{1} << std::min(log2Count, 63u);
    const std::uint64_t last = rounds + 32;
    if (rounds == 1) out.key = t;
    for (std::uint64_t i = 2; i <= last; ++i) {
        hmac.reset();
        hmac.write(u.data(), u.size());
        std::memcpy(u.data(), hmac.read(GCRY_MD_SHA256), 32);
        for (std::size_t k = 0; k < 32; ++k) t[k] ^= u[k];
        if (i == rounds) out.key = t;
        if (i == rounds + 16) out.hashKey = t;
    }
    for (std::size_t k = 0; k < 32; ++k) out.passwordCheck[k & 7] ^= t[k];
    return out;
}

bool rar5CheckValueIntact(std::span<const std::uint8_t> checkValue12) {
    if (checkValue12.size() < 12) return false;
    Digest sha(GCRY_MD_SHA256, 0);
    sha.write(checkValue12.data(), 8);
    return std::memcmp(sha.read(GCRY_MD_SHA256), checkValue12.data() + 8, 4) == 0;
}

bool rar5PasswordMatches(const Rar5Keys& keys, std::span<const std::uint8_t> checkValue12) {
    return checkValue12.size() >= 8 && std::equal(keys.passwordCheck.begin(), keys.passwordCheck.end(), checkValue12.begin());
}

std::uint32_t rar5TweakedCrc(std::span<const std::uint8_t, 32> hashKey, std::uint32_t crc) {
    Digest hmac(GCRY_MD_SHA256, GCRY_MD_FLAG_HMAC);
    hmac.setKey(hashKey);
    const std::uint8_t le[4] = {static_cast<std::uint8_t>(crc), static_cast<std::uint8_t>(crc >> 8),
                                static_cast<std::uint8_t>(crc >> 16), static_cast<std::uint8_t>(crc >> 24)};
    hmac.write(le, 4);
    const std::uint8_t* mac = hmac.read(GCRY_MD_SHA256);
    std::uint32_t folded = 0;
    for (std::size_t i = 0; i < 32; ++i) folded ^= std::uint32_t{mac[i]} << (8 * (i & 3));
    return folded;
}

std::array<std::uint8_t, 32> rar5TweakedDigest(std::span<const std::uint8_t, 32> hashKey,
                                               std::span<const std::uint8_t, 32> digest) {
    Digest hmac(GCRY_MD_SHA256, GCRY_MD_FLAG_HMAC);
    hmac.setKey(hashKey);
    hmac.write(digest.data(), digest.size());
    std::array<std::uint8_t, 32> out{};
    std::memcpy(out.data(), hmac.read(GCRY_MD_SHA256), 32);
    return out;
}

struct AesCbc::Handle {
    gcry_cipher_hd_t h = nullptr;
    ~Handle() {
        if (h) gcry_cipher_close(h);
    }
};

AesCbc::AesCbc(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
AesCbc::AesCbc(AesCbc&&) noexcept = default;
AesCbc& AesCbc::operator=(AesCbc&&) noexcept = default;
AesCbc::~AesCbc() = default;

platform::Result<AesCbc> AesCbc::create(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv16) {
    ensureGcrypt();
    int algorithm = 0;
    if (key.size() == 16)
        algorithm = GCRY_CIPHER_AES128;
    else if (key.size() == 32)
        algorithm = GCRY_CIPHER_AES256;
    else
        return platform::Status::failure("AES key of " + std::to_string(key.size()) + " bytes (16 or 32 expected)");
    if (iv16.size() != kBlockSize)
        return platform::Status::failure("AES IV of " + std::to_string(iv16.size()) + " bytes (16 expected)");
    auto handle = std::make_unique<Handle>();
    gcry_error_t err = gcry_cipher_open(&handle->h, algorithm, GCRY_CIPHER_MODE_CBC, 0);
    if (!err) err = gcry_cipher_setkey(handle->h, key.data(), key.size());
    if (!err) err = gcry_cipher_setiv(handle->h, iv16.data(), iv16.size());
    if (err) return platform::Status::failure(std::string("AES set-up failed: ") + gcry_strerror(err));
    return AesCbc(std::move(handle));
}

void AesCbc::decrypt(std::span<std::uint8_t> wholeBlocks) {
    const std::size_t n = wholeBlocks.size() - wholeBlocks.size() % kBlockSize;
    if (n) gcry_cipher_decrypt(handle_->h, wholeBlocks.data(), n, nullptr, 0);
}

void AesCbc::encrypt(std::span<std::uint8_t> wholeBlocks) {
    const std::size_t n = wholeBlocks.size() - wholeBlocks.size() % kBlockSize;
    if (n) gcry_cipher_encrypt(handle_->h, wholeBlocks.data(), n, nullptr, 0);
}

}  // namespace rar
