#include "archiver/rar/blake2sp.h"

#include <gtest/gtest.h>

#include "hex.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "write_test_support.h"
#include "archiver/rar/extractor.h"
#include "archiver/rar/extractor_libarchive.h"

using rarwritetest::bytesOf;
using rarwritetest::toHex;

namespace {

TEST(Blake2s, PlainHashKnownAnswer) {
    // The single-node form (fanout 1, depth 1): the published BLAKE2s-256 values.
    struct Case {
        const char* input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "69217a3079908094e11121d042354a7c1f55b6482ca1a51e1b250dfd1ed0eef9"},
        {"abc", "508c5e8c327c14e2e1a72ba34eeb452f37458b209ed63a294d999b4c86675982"},
    };
    for (const auto& c : cases) {
        rar::Blake2sp::State s;
        s.init(1, 1, 0, 0, 0);
        s.update(bytesOf(c.input).data(), bytesOf(c.input).size());
        EXPECT_EQ(toHex(s.finish()), c.digest) << c.input;
    }
}

TEST(Blake2sp, PieceSizesDoNotMatter) {
    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + 7);
    rar::Blake2sp whole;
    whole.update(data);
    const auto expected = whole.finish();
    for (std::size_t piece : {1u, 63u, 64u, 65u, 511u, 512u, 513u}) {
        rar::Blake2sp h;
        for (std::size_t i = 0; i < data.size(); i += piece)
            h.update(std::span(data).subspan(i, std::min(piece, data.size() - i)));
        EXPECT_EQ(h.finish(), expected) << piece;
    }
}

TEST(Blake2sp, MatchesRarMadeDigests) {
    SKIP_WITHOUT_FIXTURES();
    // rar5-blake.rar keeps BLAKE2sp digests instead of CRCs: extraction checks them.
    testsupport::TempDir out;
    rar::ExtractOptions o;
    o.destination = out.path();
    // stest1.txt is compressed: without a decompressor only the stored stest2.txt.
    const bool all = rar::LibarchiveReader::available();
    if (!all) o.select = [](const rar::Entry& e) { return e.method == 0; };
    auto r = rar::extractEntries(testsupport::fixture("rar5-blake.rar"), o);
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_EQ(r->selected, all ? 2u : 1u);
    EXPECT_TRUE(r->allOk()) << (r->failures.empty() ? "" : r->failures[0].second.detail);
}

}  // namespace
