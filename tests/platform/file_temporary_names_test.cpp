// The writer's temporary files: short names of one length whatever the target's name,
// recognised afterwards to clear what killed runs left behind.
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

using namespace platform;
using testsupport::TempDir;

namespace {

std::uint64_t ownProcessId() {
#ifdef _WIN32
    return ::GetCurrentProcessId();
#else
    return static_cast<std::uint64_t>(::getpid());
#endif
}

// 83 three-byte characters and "ab.rar": a name of 255 bytes, the most a name may have.
std::string longestChineseName() {
    std::string name;
    for (int i = 0; i < 83; ++i) name += "资";
    return name + "ab.rar";
}

TEST(TemporaryFileName, IsShortOfFixedLengthAndNamesItsProcess) {
    const std::string first = temporaryFileName(0x1234, 0);
    const std::string later = temporaryFileName(0xFFFFFFFF, 0xFFFF);
    EXPECT_EQ(first, ".pmb-00001234-0000.pmbtmp");
    EXPECT_EQ(first.size(), later.size());
    EXPECT_TRUE(isTemporaryFileName(first));
    EXPECT_EQ(temporaryFileProcess(first), std::optional<std::uint64_t>(0x1234));
    EXPECT_EQ(temporaryFileProcess(later), std::optional<std::uint64_t>(0xFFFFFFFF));
}

TEST(TemporaryFileName, RecognisesTheEarlierFormAndNothingElse) {
    const struct {
        const char* name;
        std::optional<std::uint64_t> process;
    } cases[] = {
        {".a.rar.4321.pmbtmp", 4321},
        {".a.rar.4321-7.pmbtmp", 4321},
        {".资料.rar.999999999.pmbtmp", 999999999},
        {".a.rar.notapid.pmbtmp", std::nullopt},
        {"a.rar.4321.pmbtmp", std::nullopt},
        {".a.rar.4321.tmp", std::nullopt},
        {".pmb-0000zz12-0001.pmbtmp", std::nullopt},
        {"a.rar", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(temporaryFileProcess(c.name), c.process);
    }
}

TEST(AtomicFileWriter, RewritesATargetWhoseNameTakesAll255Bytes) {
    TempDir dir;
    const std::string name = longestChineseName();
    ASSERT_EQ(name.size(), 255u);
    const auto target = dir.write(name, "old");
    auto writer = AtomicFileWriter::create(target);
    ASSERT_TRUE(writer) << writer.message();
    EXPECT_LT(utf8FromPath(writer->temporaryPath().filename()).size(), 32u);
    ASSERT_TRUE(writer->append("new"));
    ASSERT_TRUE(writer->commit());
    EXPECT_EQ(*readWholeFile(target), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// Temporaries of processes that are gone are removed from the whole folder, whatever file
// they were for; those of a live process, and files that only look alike, stay.
TEST(AtomicFileWriter, StaleTemporariesOfAFolderGoThoseOfLiveProcessesStay) {
    TempDir dir;
    dir.write("a.rar", "x");
    const std::string dead = temporaryFileName(0x7FFFFFF0, 3);  // no process has that number
    const std::string live = temporaryFileName(ownProcessId(), 9);
    const std::string earlierDead = ".b.rar.999999999.pmbtmp";
    const std::string earlierLive = ".b.rar." + std::to_string(ownProcessId()) + ".pmbtmp";
    for (const std::string& n : {dead, live, earlierDead, earlierLive, std::string(".c.rar.notapid.pmbtmp")})
        dir.write(n, "half written");
    removeStaleTemporaryFilesIn(dir.path());
    EXPECT_FALSE(std::filesystem::exists(dir / dead));
    EXPECT_FALSE(std::filesystem::exists(dir / earlierDead));
    EXPECT_TRUE(std::filesystem::exists(dir / live));
    EXPECT_TRUE(std::filesystem::exists(dir / earlierLive));
    EXPECT_TRUE(std::filesystem::exists(dir / ".c.rar.notapid.pmbtmp"));
    EXPECT_TRUE(std::filesystem::exists(dir / "a.rar"));
}

}  // namespace
