#include "archiver/rar/crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "archiver/rar/crc32.h"
#include "hex.h"
#include "platform/file.h"
#include "tests/support/fixtures.h"

using rarwritetest::bytesOf;
using rarwritetest::fromHex;
using rarwritetest::toHex;

namespace {

std::vector<std::uint8_t> fixtureBytes(std::string_view name, std::size_t offset, std::size_t length) {
    auto whole = platform::readWholeFile(testsupport::fixture(name));
    EXPECT_TRUE(whole.ok()) << whole.message();
    if (!whole.ok() || whole->size() < offset + length) return {};
    return {whole->begin() + static_cast<std::ptrdiff_t>(offset),
            whole->begin() + static_cast<std::ptrdiff_t>(offset + length)};
}

std::vector<std::uint8_t> decryptWith(std::span<const std::uint8_t> key, std::span<const std::uint8_t> iv,
                                      std::vector<std::uint8_t> data) {
    auto aes = rar::AesCbc::create(key, iv);
    EXPECT_TRUE(aes.ok()) << aes.message();
    if (aes.ok()) aes->decrypt(data);
    return data;
}

struct Rar3Vector {
    const char* password;
    const char* salt;
    const char* key;
    const char* iv;
};

TEST(Rar3Kdf, KnownKeysAndIvs) {
    const Rar3Vector vectors[] = {
        {"password", "b30e2f01101f65bd", "a240160822889d4886f921b0416b6b41", "2fb796c4f0ec487f8350caf785ffe39a"},
        {"tz5083", "0123456789abcdef", "492c2d2a233b965e33c8f997f9e8d59a", "cc070a4d5276726161eb7a4d37de4758"},
    };
    for (const auto& v : vectors) {
        const rar::Rar3Key k = rar::deriveRar3Key(v.password, fromHex(v.salt));
        EXPECT_EQ(toHex(k.key), v.key) << v.password;
        EXPECT_EQ(toHex(k.iv), v.iv) << v.password;
    }
}

TEST(Rar3Kdf, SaltAndPasswordBothMatter) {
    const auto base = rar::deriveRar3Key("tz5083", fromHex("0123456789abcdef"));
    EXPECT_NE(rar::deriveRar3Key("tz5084", fromHex("0123456789abcdef")).key, base.key);
    EXPECT_NE(rar::deriveRar3Key("tz5083", fromHex("0123456789abcdee")).key, base.key);
    // A non-ASCII password is hashed as UTF-16, so it must not collapse onto its bytes.
    EXPECT_NE(rar::deriveRar3Key("密码", fromHex("0123456789abcdef")).key,
              rar::deriveRar3Key("\xE5\xAF\x86\xE7\xA0\x81x", fromHex("0123456789abcdef")).key);
}

TEST(Rar3Encryption, StoredEntryMatchesGoldenBytes) {
    // A stored entry encrypted by our scheme and read back by an independent reader.
    std::string plain = "this is secret data, 37 bytes long!!\n";
    std::vector<std::uint8_t> data(plain.begin(), plain.end());
    data.resize(48, 0);
    const auto k = rar::deriveRar3Key("tz5083", fromHex("0123456789abcdef"));
    auto aes = rar::AesCbc::create(k.key, k.iv);
    ASSERT_TRUE(aes.ok()) << aes.message();
    aes->encrypt(data);
    EXPECT_EQ(toHex(data),
              "14c230fe56ba673204a5e7de990824fb5c501ef5278e0d31ee191946a02b13ba99aa0b37c3f6ae47fcde80d5835da1ed");
}

TEST(Rar3Encryption, DecryptsRarMadeData) {
    SKIP_WITHOUT_FIXTURES();
    // file1.txt of the encrypted sample decrypts to the packed bytes of the same file in
    // the plain sample, padded with zeros.
    const auto encrypted = fixtureBytes("rar3-comment-psw.rar", 128, 16);
    const auto packedPlain = fixtureBytes("rar3-comment-plain.rar", 120, 8);
    ASSERT_EQ(encrypted.size(), 16u);
    ASSERT_EQ(packedPlain.size(), 8u);
    const auto k = rar::deriveRar3Key("password", fromHex("b30e2f01101f65bd"));
    const auto out = decryptWith(k.key, k.iv, encrypted);
    EXPECT_EQ(toHex(std::span(out).first(8)), toHex(packedPlain));
    EXPECT_EQ(toHex(std::span(out).last(8)), "0000000000000000");

    const auto wrong = rar::deriveRar3Key("passwort", fromHex("b30e2f01101f65bd"));
    EXPECT_NE(toHex(decryptWith(wrong.key, wrong.iv, encrypted)).substr(0, 16), toHex(packedPlain));
}

TEST(Rar3Encryption, EachPasswordOpensOnlyItsOwnEntry) {
    SKIP_WITHOUT_FIXTURES();
    // b.txt (password "password") and d.txt ("password2") are compressed; the expected
    // plaintexts are the packed streams that libarchive decompresses to "This is from
    // b.txt" / "d.txt" with matching CRCs once they are put into an unencrypted header.
    struct Entry {
        std::size_t dataOffset;
        const char* salt;
        const char* password;
        const char* otherPassword;
        const char* packed;
    };
    const Entry entries[] = {
        {80 + 50, "be021b9a792a8a55", "password", "password2",
         "0d4147ed0a2a81234813831c19b1fe0be206887b7ab68f185f6ba92531a39000"},
        {222 + 50, "afe27d13f3a55352", "password2", "password",
         "0d4147ed0a2a8123482331c19b1fe0be206887b7ab68f185f6ba92531a390000"},
    };
    for (const auto& e : entries) {
        const auto data = fixtureBytes("test_read_format_rar4_encrypted.rar", e.dataOffset, 32);
        ASSERT_EQ(data.size(), 32u);
        const auto right = rar::deriveRar3Key(e.password, fromHex(e.salt));
        EXPECT_EQ(toHex(decryptWith(right.key, right.iv, data)), e.packed) << e.password;
        const auto other = rar::deriveRar3Key(e.otherPassword, fromHex(e.salt));
        EXPECT_NE(toHex(decryptWith(other.key, other.iv, data)), e.packed) << e.otherPassword;
    }
}

TEST(Rar5Kdf, KnownKeysCheckValueAndTweakedCrc) {
    const auto salt = fromHex("7e982cdd1ae21c36c7a391da8d088a68");
    const auto keys = rar::deriveRar5Keys("password", salt, 15);
    EXPECT_EQ(toHex(keys.key), "be931a62d2708cb9781b4fcb7ceeca45316a9b12318d52cca4e372bfaee212a7");
    EXPECT_EQ(toHex(keys.hashKey), "29adb79ce960adb7ceb0741e61ad78dcb2a77ab1027fb6e414294a8fc4146f7a");
    EXPECT_EQ(toHex(keys.passwordCheck), "8151cff63649c16e");
    const auto check = fromHex("8151cff63649c16e186a220f");
    EXPECT_TRUE(rar::rar5CheckValueIntact(check));
    EXPECT_TRUE(rar::rar5PasswordMatches(keys, check));
    EXPECT_EQ(rar::rar5TweakedCrc(keys.hashKey, 0xC5B7E6A2u), 0xBA28EEEAu);

    auto damaged = check;
    damaged[10] ^= 1;
    EXPECT_FALSE(rar::rar5CheckValueIntact(damaged));
    EXPECT_FALSE(rar::rar5PasswordMatches(rar::deriveRar5Keys("Password", salt, 15), check));
}

TEST(Rar5Kdf, MatchesPlainPbkdf2AtSmallCounts) {
    // The three values lie on one PBKDF2 chain: with count 2^0 the key is the first link.
    const auto salt = fromHex("00112233445566778899aabbccddeeff");
    const auto k0 = rar::deriveRar5Keys("pw", salt, 0);
    const auto k1 = rar::deriveRar5Keys("pw", salt, 1);
    EXPECT_NE(k0.key, k1.key);
    EXPECT_NE(k0.key, k0.hashKey);
    // 2^4 + 16 rounds = 2^5: the checksum key at count 4 is the key at count 5.
    EXPECT_EQ(rar::deriveRar5Keys("pw", salt, 4).hashKey, rar::deriveRar5Keys("pw", salt, 5).key);
}

TEST(Rar5Encryption, DecryptsRarMadeStoredEntry) {
    SKIP_WITHOUT_FIXTURES();
    // stest2.txt of rar5-psw.rar: stored, 2048 bytes, AES-256 with the record's IV.
    const auto data = fixtureBytes("rar5-psw.rar", 347, 2048);
    ASSERT_EQ(data.size(), 2048u);
    const auto keys = rar::deriveRar5Keys("password", fromHex("7e982cdd1ae21c36c7a391da8d088a68"), 15);
    const auto iv = fromHex("df83fa0cd86e88b8b6f851467d7949d2");
    const auto out = decryptWith(keys.key, iv, data);
    EXPECT_EQ(rar::crc32(out), 0xC5B7E6A2u);
}

TEST(AesCbc, ChainCarriesAcrossCalls) {
    const auto key = fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const auto iv = fromHex("0f0e0d0c0b0a09080706050403020100");
    std::vector<std::uint8_t> whole(64);
    for (std::size_t i = 0; i < whole.size(); ++i) whole[i] = static_cast<std::uint8_t>(i * 7);
    auto pieces = whole;
    for (std::size_t keySize : {16u, 32u}) {
        auto one = rar::AesCbc::create(std::span(key).first(keySize), iv);
        auto two = rar::AesCbc::create(std::span(key).first(keySize), iv);
        ASSERT_TRUE(one.ok() && two.ok());
        auto a = whole;
        auto b = whole;
        one->encrypt(a);
        two->encrypt(std::span(b).first(16));
        two->encrypt(std::span(b).subspan(16, 32));
        two->encrypt(std::span(b).subspan(48));
        EXPECT_EQ(a, b) << keySize;
        EXPECT_NE(a, whole);
        auto back = rar::AesCbc::create(std::span(key).first(keySize), iv);
        back->decrypt(std::span(a).first(32));
        back->decrypt(std::span(a).subspan(32));
        EXPECT_EQ(a, whole);
    }
}

TEST(AesCbc, RefusesBadKeyAndIvSizes) {
    const std::vector<std::uint8_t> k24(24), k16(16), iv16(16), iv8(8);
    EXPECT_FALSE(rar::AesCbc::create(k24, iv16).ok());
    EXPECT_FALSE(rar::AesCbc::create(k16, iv8).ok());
    EXPECT_TRUE(rar::AesCbc::create(k16, iv16).ok());
}

TEST(Crypto, FirstUseFromManyThreads) {
    // libgcrypt's one-time set-up must not race when readers start in parallel.
    const auto salt = fromHex("7e982cdd1ae21c36c7a391da8d088a68");
    std::vector<std::thread> threads;
    std::vector<rar::Rar5Keys> keys(4);
    for (auto& k : keys) threads.emplace_back([&k, &salt] { k = rar::deriveRar5Keys("password", salt, 15); });
    for (auto& t : threads) t.join();
    for (const auto& k : keys) EXPECT_EQ(toHex(k.key), "be931a62d2708cb9781b4fcb7ceeca45316a9b12318d52cca4e372bfaee212a7");
}

}  // namespace
