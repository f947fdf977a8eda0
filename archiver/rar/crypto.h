#pragma once
// The ciphers and key derivations of RAR encryption: the RAR 3.x scheme (SHA-1 based
// key and IV, AES-128-CBC) and the RAR5 scheme (PBKDF2-HMAC-SHA256, AES-256-CBC, keyed
// checksums). libgcrypt does the primitives; it is initialised on first use.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/status.h"

namespace rar {

struct Rar3Key {
    std::array<std::uint8_t, 16> key;
    std::array<std::uint8_t, 16> iv;
};

// The key and IV of one 8-byte salt. The password is hashed as UTF-16LE, at most
// 127 units, as RAR 3.x does.
Rar3Key deriveRar3Key(std::string_view passwordUtf8, std::span<const std::uint8_t> salt8);

struct Rar5Keys {
    std::array<std::uint8_t, 32> key;
    std::array<std::uint8_t, 32> hashKey;
    std::array<std::uint8_t, 8> passwordCheck;
};

// Readers refuse larger iteration exponents; callers must check before deriving, since
// each step up doubles the time.
inline constexpr unsigned kRar5MaxKdfLog2 = 24;

// PBKDF2-HMAC-SHA256 of the UTF-8 password over a 16-byte salt with 2^log2Count rounds
// (the key), 16 rounds more (the checksum key) and 32 more (the folded password check).
Rar5Keys deriveRar5Keys(std::string_view passwordUtf8, std::span<const std::uint8_t> salt16, unsigned log2Count);

// The 12-byte check value of a RAR5 encryption record: the 8 password-check bytes and
// the first 4 bytes of their SHA-256, which only guards the record against damage.
bool rar5CheckValueIntact(std::span<const std::uint8_t> checkValue12);
// Whether a derived password check matches the first 8 bytes of a check value.
bool rar5PasswordMatches(const Rar5Keys& keys, std::span<const std::uint8_t> checkValue12);

// The stored form of a data CRC under RAR5's "tweaked checksums": HMAC-SHA256 of the
// CRC's 4 little-endian bytes, folded to 32 bits.
std::uint32_t rar5TweakedCrc(std::span<const std::uint8_t, 32> hashKey, std::uint32_t crc);
// The stored form of a BLAKE2sp digest under tweaked checksums.
std::array<std::uint8_t, 32> rar5TweakedDigest(std::span<const std::uint8_t, 32> hashKey,
                                               std::span<const std::uint8_t, 32> digest);

// AES in CBC mode with a 128- or 256-bit key. The chain carries across calls, so a
// stream may be processed in pieces; every piece must be a whole number of 16-byte
// blocks (a trailing partial block is left untouched).
class AesCbc {
public:
    static platform::Result<AesCbc> create(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv16);
    AesCbc(AesCbc&&) noexcept;
    AesCbc& operator=(AesCbc&&) noexcept;
    ~AesCbc();

    void decrypt(std::span<std::uint8_t> wholeBlocks);
    void encrypt(std::span<std::uint8_t> wholeBlocks);

    static constexpr std::size_t kBlockSize = 16;

private:
    struct Handle;
    explicit AesCbc(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace rar
