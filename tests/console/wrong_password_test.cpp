// RAR 1.5-4.x archives with encrypted headers and a wrong password: the first header
// decrypts to garbage, and whichever check meets the garbage first, the answer is a wrong
// password (exit 2), never a damaged archive. The passwords below are ones whose garbage
// once looked like a short file header, a block running past the end, or an old block
// type whose checksum is not checked.
#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::readFile;
using testconsole::runMyrar;

TEST(WrongPassword, EncryptedRar4HeadersSaySoInListingAndDelete) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        std::vector<std::string> passwords;
        const char* entry;
    } cases[] = {
        {"rar3-comment-hpsw.rar", {"wrong", "w25", "w103", "w206"}, "file1.txt"},
        {"test_read_format_rar4_encrypted_filenames.rar", {"wrong", "w22", "w42", "w169"}, "a.txt"},
        {"test_read_format_rar_encryption_header.rar", {"wrong", "w8"}, "*"},
    };
    for (const auto& c : cases) {
        for (const std::string& password : c.passwords) {
            SCOPED_TRACE(std::string(c.file) + " -p" + password);
            testsupport::TempDir dir;
            const auto archive = testconsole::copyFixture(dir, c.file);
            const std::string before = readFile(archive);
            const auto listing = runMyrar({"v", "-p" + password, c.file}, dir.path());
            EXPECT_EQ(listing.exitCode, 2) << listing.text;
            EXPECT_NE(listing.text.find("密码错误"), std::string::npos) << listing.text;
            const auto deletion = runMyrar({"d", "-p" + password, c.file, c.entry}, dir.path());
            EXPECT_EQ(deletion.exitCode, 2) << deletion.text;
            EXPECT_NE(deletion.text.find("密码错误"), std::string::npos) << deletion.text;
            EXPECT_EQ(readFile(archive), before);
        }
    }
}

}  // namespace
