#include <gtest/gtest.h>

#include "archiver/rar/crc32.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "myrar_run.h"
#include "platform/text_codec.h"
#include "tests/rar_write/hex.h"
#include "tests/rar_write/write_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

using namespace addextracttest;
using rarwritetest::readText;
using rarwritetest::tree;
using testsupport::TempDir;

namespace {

const std::string kAllOk = "全部OK";

// An archive made by our own `a`: two files in folders, one at the top.
std::filesystem::path makeArchive(const TempDir& dir, const std::string& password = {}) {
    dir.write("src/a.txt", "alpha");
    dir.write("src/子目录/文件2.exe", "beta");
    dir.write("src/子目录/深/c.txt", "gamma");
    std::vector<std::string> arguments = {"a", "-ep1", "t.rar", "src"};
    if (!password.empty()) arguments.push_back("-p" + password);
    auto r = runMyrar(dir.path(), arguments);
    EXPECT_EQ(r.exitCode, 0) << r.text;
    return dir / "t.rar";
}

bool endsWithAllOk(const MyrarRun& r) {
    const std::string tail = "\n" + *platform::utf8ToGb18030(kAllOk);
    return r.raw.size() >= tail.size() && r.raw.substr(r.raw.size() - tail.size()) == tail;
}

TEST(ExtractCommand, LayoutSelectionAndDestination) {
    struct Case {
        std::vector<std::string> arguments;
        const char* destination;  // below the test folder
        std::map<std::string, std::string> files;
    };
    const Case cases[] = {
        {{"x", "-y", "t.rar"}, ".", {{"src/a.txt", "alpha"}, {"src/子目录/文件2.exe", "beta"}, {"src/子目录/深/c.txt", "gamma"}}},
        {{"x", "-y", "t.rar", "out/"}, "out",
         {{"src/a.txt", "alpha"}, {"src/子目录/文件2.exe", "beta"}, {"src/子目录/深/c.txt", "gamma"}}},
        {{"e", "-y", "t.rar", "flat\\"}, "flat", {{"a.txt", "alpha"}, {"文件2.exe", "beta"}, {"c.txt", "gamma"}}},
        // The matching rule of d: a bare name in every folder, a folder with its contents.
        {{"x", "-y", "t.rar", "c.txt", "sel/"}, "sel", {{"src/子目录/深/c.txt", "gamma"}}},
        {{"x", "-y", "t.rar", "src\\子目录", "sel/"}, "sel", {{"src/子目录/文件2.exe", "beta"}, {"src/子目录/深/c.txt", "gamma"}}},
        {{"e", "-y", "t.rar", "*.exe", "sel/"}, "sel", {{"文件2.exe", "beta"}}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        makeArchive(dir);
        std::filesystem::remove_all(dir / "src");
        std::string shown;
        for (const auto& a : c.arguments) shown += " " + a;
        SCOPED_TRACE(shown);
        auto r = runMyrar(dir.path(), c.arguments);
        EXPECT_EQ(r.exitCode, 0) << r.text;
        EXPECT_TRUE(endsWithAllOk(r)) << r.text;
        auto got = tree(dir / c.destination);
        std::map<std::string, std::string> files;
        for (const auto& [path, content] : got)
            if (content != "<dir>" && path != "t.rar") files[path] = content;
        EXPECT_EQ(files, c.files);
    }
}

TEST(ExtractCommand, PasswordOutcomes) {
    struct Case {
        const char* password;
        int exitCode;
        const char* says;  // in the output, once per entry
    };
    const Case cases[] = {
        {"-ptz5083", 0, nullptr},
        {"-pwrong", 4, "CRC 校验失败，密码错误?"},
        {"", 2, "文件已加密，需要用 -p<密码> 给出密码"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        makeArchive(dir, "tz5083");
        std::vector<std::string> arguments = {"x", "-y"};
        if (*c.password) arguments.push_back(c.password);
        arguments.insert(arguments.end(), {"t.rar", "out/"});
        auto r = runMyrar(dir.path(), arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.password << "\n" << r.text;
        if (!c.says) {
            EXPECT_TRUE(endsWithAllOk(r)) << r.text;
            EXPECT_EQ(readText(dir / "out/src/a.txt"), "alpha");
            continue;
        }
        EXPECT_EQ(r.text.find(kAllOk), std::string::npos) << r.text;
        for (const char* name : {"src\\a.txt", "src\\子目录\\文件2.exe", "src\\子目录\\深\\c.txt"})
            EXPECT_NE(r.text.find(std::string(name) + ": " + c.says), std::string::npos) << name << "\n" << r.text;
        EXPECT_FALSE(std::filesystem::exists(dir / "out/src/a.txt")) << c.password;
    }
}

TEST(ExtractCommand, ExistingFilesWithoutYes) {
    struct Case {
        const char* answer;
        bool overwritten;
    };
    for (const Case& c : {Case{"n\n", false}, Case{"y\n", true}, Case{"", false}}) {
        TempDir dir;
        makeArchive(dir);
        dir.write("src/a.txt", "mine");
        auto r = runMyrar(dir.path(), {"x", "t.rar", "src\\a.txt"}, c.answer);
        EXPECT_EQ(readText(dir / "src/a.txt"), c.overwritten ? "alpha" : "mine") << c.answer;
        EXPECT_NE(r.text.find("已经存在"), std::string::npos) << r.text;
        EXPECT_EQ(endsWithAllOk(r), c.overwritten) << r.text;
        EXPECT_EQ(r.exitCode == 0, c.overwritten) << r.text;
    }
}

TEST(ExtractCommand, UnsafeEntriesAreNamedAndNothingEscapes) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(rar::kRar4Marker.begin(), rar::kRar4Marker.end());
    bytes.insert(bytes.end(), rar::kRar4PlainMainHeader.begin(), rar::kRar4PlainMainHeader.end());
    for (const std::string name : {"..\\..\\escaped.txt", "C:\\escaped2.txt", "good.txt"}) {
        rar::Rar4RawFileFields f;
        f.packedSize = f.unpackedSize = 4;
        f.crc = rar::crc32(rarwritetest::bytesOf("data"));
        f.nameField.assign(name.begin(), name.end());
        const auto h = rar::encodeRar4RawFileHeader(f);
        bytes.insert(bytes.end(), h.begin(), h.end());
        for (char ch : std::string("data")) bytes.push_back(static_cast<std::uint8_t>(ch));
    }
    bytes.insert(bytes.end(), rar::kRar4EndBlock.begin(), rar::kRar4EndBlock.end());
    dir.write("work/bad.rar", std::string(bytes.begin(), bytes.end()));
    auto r = runMyrar(dir / "work", {"x", "-y", "bad.rar", "out/"});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.text.find(kAllOk), std::string::npos);
    EXPECT_NE(r.text.find("..\\..\\escaped.txt: 会写到目标文件夹之外"), std::string::npos) << r.text;
    EXPECT_NE(r.text.find("C:\\escaped2.txt: 会写到目标文件夹之外"), std::string::npos) << r.text;
    EXPECT_EQ(readText(dir / "work/out/good.txt"), "data");
    EXPECT_FALSE(std::filesystem::exists(dir / "escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "work/escaped.txt"));
}

TEST(ExtractCommand, NothingMatchedAndNoArchive) {
    TempDir dir;
    makeArchive(dir);
    auto r = runMyrar(dir.path(), {"x", "-y", "t.rar", "nosuch.txt", "out/"});
    EXPECT_EQ(r.exitCode, 1) << r.text;
    EXPECT_EQ(r.text.find(kAllOk), std::string::npos);
    r = runMyrar(dir.path(), {"x", "-y", "missing.rar"});
    EXPECT_EQ(r.exitCode, 5) << r.text;
    EXPECT_EQ(r.text.find(kAllOk), std::string::npos);
}

}  // namespace
