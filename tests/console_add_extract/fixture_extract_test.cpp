// `x` of every sample archive gives, for each entry whose data bsdtar can extract, the
// same bytes as bsdtar.
#include <gtest/gtest.h>

#include <set>

#include "archiver/rar/archive_reader.h"
#include "myrar_run.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

using namespace addextracttest;
using testsupport::TempDir;

namespace {

#ifdef _WIN32
TEST(FixtureExtraction, SameBytesAsBsdtar) {
    GTEST_SKIP() << "bsdtar, the reference, is a Linux program; the Linux build compares the same extractor";
}
#else
using rarwritetest::quoted;

// Entries whose bsdtar output is no reference: encrypted data (bsdtar 3.6 either fails
// or hands out the ciphertext of RAR5 entries), parts of entries split across volumes
// (bsdtar gives the part in this file), and links (bsdtar -O follows RAR5 links in a loop).
std::set<std::string> entriesWithoutReference(const std::filesystem::path& archive) {
    std::set<std::string> out;
    rar::ReadOptions o;
    o.readComments = false;
    const auto read = rar::readArchive(archive, o);
    for (const auto& e : read.archive.entries) {
        if (e.encrypted || e.splitAfter || e.splitBefore || e.link != rar::LinkKind::None) {
            std::string n = e.path;
            std::replace(n.begin(), n.end(), '\\', '/');
            out.insert(n);
        }
    }
    return out;
}

TEST(FixtureExtraction, SameBytesAsBsdtar) {
    SKIP_WITHOUT_FIXTURES();
    if (!rarwritetest::toolPresent("bsdtar")) GTEST_SKIP() << "bsdtar not installed";
    std::vector<std::filesystem::path> samples;
    for (const auto& f : std::filesystem::directory_iterator(testsupport::fixturesDir())) {
        const auto ext = f.path().extension();
        if (ext == ".rar" || ext == ".exe") samples.push_back(f.path());
    }
    std::sort(samples.begin(), samples.end());
    ASSERT_FALSE(samples.empty());

    const std::string env = "LC_ALL=C.UTF-8 ";
    std::size_t compared = 0;
    for (const auto& sample : samples) {
        TempDir dir;
        const auto copy = dir / sample.filename().string();
        std::filesystem::copy_file(sample, copy);
        const auto skip = entriesWithoutReference(copy);
        const auto names = rarwritetest::lines(rarwritetest::run(env + "bsdtar -tf " + quoted(copy) + " 2>/dev/null").output);
        const auto details = rarwritetest::lines(rarwritetest::run(env + "bsdtar -tvf " + quoted(copy) + " 2>/dev/null").output);
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < names.size() && i < details.size(); ++i) {
            const std::string& name = names[i];
            if (name.empty() || details[i].empty() || details[i][0] != '-' || skip.count(name)) continue;
            if (details[i].find(" link to ") != std::string::npos) continue;
            const auto reference = dir / ("bsdtar-" + std::to_string(i));
            auto one = rarwritetest::run(env + "timeout 60 bsdtar -xOf " + quoted(copy) + " " + quoted(name) + " > " +
                                         quoted(reference) + " 2>/dev/null");
            if (one.exitCode == 0) expected.push_back(name);
        }
        if (expected.empty()) continue;
        auto r = runMyrar(dir.path(), {"x", "-y", copy.filename().string(), "out/"});
        for (std::size_t i = 0, k = 0; i < names.size(); ++i) {
            if (k >= expected.size() || names[i] != expected[k]) continue;
            ++k;
            const auto ours = dir / "out" / platform::pathFromUtf8(names[i]);
            const auto reference = dir / ("bsdtar-" + std::to_string(i));
            ASSERT_TRUE(std::filesystem::is_regular_file(ours)) << sample.filename() << ": " << names[i] << "\n" << r.text;
            auto cmp = rarwritetest::run("cmp " + quoted(ours) + " " + quoted(reference));
            EXPECT_EQ(cmp.exitCode, 0) << sample.filename() << ": " << names[i] << " " << cmp.output;
            ++compared;
        }
    }
    std::printf("%zu entries compared\n", compared);
    EXPECT_GT(compared, 50u);
}
#endif

}  // namespace
