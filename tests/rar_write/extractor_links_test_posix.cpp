// Symbolic links in archives: created only when they stay inside the destination, and
// never written through. POSIX only: creating links on Windows needs a privilege.
#include <gtest/gtest.h>

#include "archiver/rar/extractor.h"
#include "extract_test_support.h"
#include "tests/support/temp_dir.h"
#include "write_test_support.h"

using namespace rarwritetest;
using testsupport::TempDir;

namespace {

TEST(Extractor, LinksStayInsideAndAreNeverFollowed) {
    TempDir dir;
    const std::uint32_t kLink = 0xA1FF;
    const auto archive = CraftedArchive()
                             .add("inside", "data.txt", 3, kLink)
                             .add("data.txt", "content")
                             .add("up", "../../etc", 3, kLink)
                             .add("abs", "/etc/passwd", 3, kLink)
                             .add("sub\\back", "../data.txt", 3, kLink)
                             .add("dirlink", "sub", 3, kLink)
                             .add("dirlink\\planted.txt", "through the link")
                             .add("hop", "dirlink/../../x", 3, kLink)
                             .writeTo(dir, "links.rar");
    const auto out = dir / "out";
    std::filesystem::create_directories(out);
    Failures f;
    auto r = rar::extractEntries(archive, into(out), &f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(f.byEntry["up"], rar::EntryFailure::UnsafePath);
    EXPECT_EQ(f.byEntry["abs"], rar::EntryFailure::UnsafePath);
    EXPECT_EQ(f.byEntry["hop"], rar::EntryFailure::UnsafePath);
    EXPECT_EQ(f.byEntry["dirlink\\planted.txt"], rar::EntryFailure::WriteError);
    EXPECT_EQ(f.byEntry.size(), 4u);
    EXPECT_EQ(std::filesystem::read_symlink(out / "inside"), "data.txt");
    EXPECT_EQ(std::filesystem::read_symlink(out / "sub/back"), "../data.txt");
    EXPECT_EQ(readText(out / "inside"), "content");
    EXPECT_FALSE(std::filesystem::exists(out / "sub/planted.txt"));
}

TEST(Extractor, ReplacesALinkInsteadOfWritingThroughIt) {
    TempDir dir;
    const auto victim = dir.write("victim.txt", "keep me");
    const auto out = dir / "out";
    std::filesystem::create_directories(out);
    std::filesystem::create_symlink(victim, out / "a.txt");
    const auto archive = CraftedArchive().add("a.txt", "new").writeTo(dir, "one.rar");
    auto r = rar::extractEntries(archive, into(out));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->allOk());
    EXPECT_EQ(readText(victim), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(out / "a.txt"));
    EXPECT_EQ(readText(out / "a.txt"), "new");
}

}  // namespace
