// Archives made by our writer, read by independent readers: every reader must list and
// extract what we put in. A reader missing from the machine skips its cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "archiver/rar/rar4_writer.h"
#include "reader_tools.h"
#include "tests/support/temp_dir.h"
#include "write_test_support.h"

using namespace rarwritetest;
using testsupport::TempDir;

namespace {

struct Sample {
    std::filesystem::path archive;
    std::vector<std::string> names;              // '/' separators
    std::map<std::string, std::string> tree;     // what extraction must give
};

Sample makeSample(const TempDir& dir, const std::string& password = {}) {
    const std::map<std::string, std::string> files = {
        {"a.txt", "hello world\n"},
        {"文件1.txt", "中文内容"},
        {"子目录/文件2.exe", std::string(70000, 'z')},
        {"👋🌎.txt", "emoji"},
        {"Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ.txt", "circled"},
        {"空.txt", ""},
    };
    Sample s;
    std::vector<rar::Rar4AddItem> items;
    for (const auto& [name, content] : files) {
        const auto src = dir.write("src/" + name, content);
        if (name == "子目录/文件2.exe") items.push_back(folderItem(src.parent_path(), "子目录"));
        std::string stored = name;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        items.push_back(fileItem(src, stored));
        s.tree[name] = content;
    }
    std::filesystem::create_directories(dir / "src/空目录");
    items.push_back(folderItem(dir / "src/空目录", "空目录"));
    s.tree["子目录"] = "<dir>";
    s.tree["空目录"] = "<dir>";
    for (const auto& i : items) {
        std::string n = i.storedName;
        std::replace(n.begin(), n.end(), '\\', '/');
        s.names.push_back(n);
    }
    s.archive = dir / "sample.rar";
    rar::Rar4AddOptions opt;
    opt.password = password;
    EXPECT_TRUE(rar::addToRar4Archive(s.archive, items, opt));
    return s;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct Reader {
    const char* lister;
    const char* extractor;
};
const Reader kReaders[] = {{"bsdtar", "bsdtar"}, {"7z", "7z"}, {"lsar", "unar"}};

TEST(IndependentReaders, ListAndExtractPlainArchive) {
    TempDir dir;
    const Sample s = makeSample(dir);
    for (const auto& r : kReaders) {
        if (!toolPresent(r.lister) || !toolPresent(r.extractor)) {
            std::printf("skipping %s: not installed\n", r.lister);
            continue;
        }
        // lsar guesses volume sets from neighbouring names: each archive sits alone.
        TempDir alone;
        const auto copy = alone / "sample.rar";
        std::filesystem::copy_file(s.archive, copy);
        int code = -1;
        EXPECT_EQ(sorted(listNames(r.lister, copy, &code)), sorted(s.names)) << r.lister;
        EXPECT_EQ(code, 0) << r.lister;
        TempDir out;
        auto x = extractWith(r.extractor, copy, out.path());
        EXPECT_EQ(x.exitCode, 0) << r.extractor << ": " << x.output;
        EXPECT_EQ(tree(out.path()), s.tree) << r.extractor;
    }
}

TEST(IndependentReaders, EmptyArchiveWithEndBlock) {
    TempDir dir;
    const auto archive = dir / "empty.rar";
    ASSERT_TRUE(rar::addToRar4Archive(archive, {}, {}));
    EXPECT_EQ(std::filesystem::file_size(archive), 27u);
    for (const auto& r : kReaders) {
        if (!toolPresent(r.lister)) continue;
        int code = -1;
        EXPECT_TRUE(listNames(r.lister, archive, &code).empty()) << r.lister;
        EXPECT_EQ(code, 0) << r.lister;
    }
}

TEST(IndependentReaders, SevenZipTestsEncryptedArchive) {
    if (!toolPresent("7z")) GTEST_SKIP() << "7z not installed";
    TempDir dir;
    const Sample s = makeSample(dir, "tz5083");
    // Names stay readable: only the data is encrypted.
    EXPECT_EQ(sorted(listNames("7z", s.archive)), sorted(s.names));
    auto right = run("7z t -ptz5083 " + quoted(s.archive));
    EXPECT_EQ(right.exitCode, 0) << right.output;
    EXPECT_NE(right.output.find("Everything is Ok"), std::string::npos) << right.output;
    auto wrong = run("7z t -ptz5084 " + quoted(s.archive));
    EXPECT_NE(wrong.exitCode, 0) << wrong.output;
    EXPECT_NE(wrong.output.find("CRC Failed"), std::string::npos) << wrong.output;

    TempDir out;
    auto x = extractWith("7z", s.archive, out.path(), "tz5083");
    EXPECT_EQ(x.exitCode, 0) << x.output;
    EXPECT_EQ(tree(out.path()), s.tree);
    if (toolPresent("bsdtar")) {
        EXPECT_EQ(sorted(listNames("bsdtar", s.archive)), sorted(s.names));
    }
}

// A stored file over 4 GiB (sparse on disk, so it is mostly reading zeros) needs the
// HIGH size fields. It moves several GiB through every reader; set
// PIMINGBAO_SLOW_TESTS=1 to run it.
TEST(IndependentReaders, FileOverFourGiB) {
    if (!std::getenv("PIMINGBAO_SLOW_TESTS")) GTEST_SKIP() << "set PIMINGBAO_SLOW_TESTS=1 to run";
    TempDir dir;
    const auto big = dir / "big.bin";
    const std::uint64_t size = (std::uint64_t{1} << 32) + 4096 + 3;
    {
        auto f = dir.write("big.bin", "head");
        std::filesystem::resize_file(f, size);
        FILE* fp = std::fopen(f.c_str(), "r+b");
        ASSERT_TRUE(fp);
        std::fseek(fp, -4, SEEK_END);
        std::fwrite("tail", 1, 4, fp);
        std::fclose(fp);
    }
    const auto archive = dir / "big.rar";
    const rar::Rar4AddItem items[] = {fileItem(big, "big.bin")};
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, {}));
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("added 4 GiB in %.1f s\n", std::chrono::duration<double>(t1 - t0).count());
    // Marker and main header, file header with HIGH sizes and name (EXT_TIME when the
    // file time has a fraction), data, end block.
    const std::uint64_t expected = size + 20 + 32 + 8 + 7 + 7;
    EXPECT_GE(std::filesystem::file_size(archive), expected);
    EXPECT_LE(std::filesystem::file_size(archive), expected + 5);

    if (toolPresent("bsdtar")) {
        auto v = run("bsdtar -tvf " + quoted(archive));
        EXPECT_NE(v.output.find(std::to_string(size)), std::string::npos) << v.output;
        auto cmp = run("bsdtar -xOf " + quoted(archive) + " big.bin | cmp - " + quoted(big));
        EXPECT_EQ(cmp.exitCode, 0) << cmp.output;
    }
    if (toolPresent("7z")) {
        auto t = run("7z t " + quoted(archive));
        EXPECT_EQ(t.exitCode, 0) << t.output;
        EXPECT_NE(run("7z l -slt " + quoted(archive)).output.find("Size = " + std::to_string(size)), std::string::npos);
    }
    if (toolPresent("lsar")) {
        auto t = run("lsar -t " + quoted(archive));
        EXPECT_EQ(t.exitCode, 0) << t.output;
    }
    std::printf("readers done in %.1f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - t1).count());
}

}  // namespace
