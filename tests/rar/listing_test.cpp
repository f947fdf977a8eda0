// The columns of the verbose listing.
#include <gtest/gtest.h>

#include "archiver/rar/listing.h"

namespace {

rar::Entry windowsFile() {
    rar::Entry e;
    e.path = "sub\\file.txt";
    e.unpackedSize = 134319;
    e.packedSize = 124780;
    e.crc32 = 0xB800A928;
    e.mtime.kind = rar::EntryTime::Kind::DosLocal;
    e.mtime.dos = (33u << 25) | (7u << 21) | (10u << 16) | (11u << 11) | (23u << 5);  // 10-07-13 11:23
    e.attributes = 0x20;
    e.hostOs = 2;
    e.method = 3;
    e.rawMethod = 0x33;
    e.dictionaryCode = 2;
    e.version = 29;
    return e;
}

TEST(Listing, DetailsLineKeepsTheColumns) {
    EXPECT_EQ(rar::listingDetailsLine(windowsFile()),
              "                134319   124780  92% 10-07-13 11:23  .....A.   B800A928 m3c 2.9");
    EXPECT_EQ(rar::listingDetailsLine(windowsFile()).size(), 79u);
}

TEST(Listing, ColumnParts) {
    rar::Entry dir = windowsFile();
    dir.isDirectory = true;
    dir.attributes = 0x10;
    dir.dictionaryCode = 7;
    dir.method = 0;
    dir.version = 20;
    rar::Entry unixFile = windowsFile();
    unixFile.hostOs = 3;
    unixFile.attributes = 0100644;
    rar::Entry unixLink = unixFile;
    unixLink.attributes = 0120777;
    rar::Entry unixDir = unixFile;
    unixDir.attributes = 040755;
    unixDir.isDirectory = true;
    rar::Entry readOnly = windowsFile();
    readOnly.attributes = 0x21;
    rar::Entry rar5 = windowsFile();
    rar5.format = rar::Format::Rar5;
    rar5.hostOs = 1;
    rar5.attributes = 0100600;
    rar5.dictionaryCode = 3;  // 1 MB
    rar5.version = 0;

    EXPECT_EQ(rar::listingAttributes(windowsFile()), " .....A.  ");
    EXPECT_EQ(rar::listingAttributes(dir), " .D.....  ");
    EXPECT_EQ(rar::listingAttributes(readOnly), " ..R..A.  ");
    EXPECT_EQ(rar::listingAttributes(unixFile), "-rw-r--r--");
    EXPECT_EQ(rar::listingAttributes(unixLink), "lrwxrwxrwx");
    EXPECT_EQ(rar::listingAttributes(unixDir), "drwxr-xr-x");
    EXPECT_EQ(rar::listingAttributes(rar5), "-rw-------");

    EXPECT_EQ(rar::listingMethod(windowsFile()), " m3c");
    EXPECT_EQ(rar::listingMethod(dir), " m0 ");
    EXPECT_EQ(rar::listingMethod(rar5), " m3e");
    EXPECT_EQ(rar::listingVersion(dir), " 2.0");
    EXPECT_EQ(rar::listingVersion(rar5), " 5.0");
}

TEST(Listing, RatioIsTruncatedAndMarksSplitParts) {
    const struct {
        std::uint64_t packed, unpacked;
        bool before, after;
        const char* expected;
    } cases[] = {
        {14015, 42484, false, false, " 32%"}, {31, 18, false, false, "172%"}, {0, 0, false, false, "  0%"},
        {10, 10, true, true, " <->"},         {10, 10, true, false, " <--"}, {10, 10, false, true, " -->"},
    };
    for (const auto& c : cases) {
        rar::Entry e;
        e.packedSize = c.packed;
        e.unpackedSize = c.unpacked;
        e.splitBefore = c.before;
        e.splitAfter = c.after;
        EXPECT_EQ(rar::listingRatio(e), c.expected);
    }
}

TEST(Listing, NameLineCarriesTheMarkerAndHidesControlCharacters) {
    rar::Entry e = windowsFile();
    EXPECT_EQ(rar::listingNameLine(e), " sub\\file.txt");
    e.encrypted = true;
    e.path = "a\r\nb";
    EXPECT_EQ(rar::listingNameLine(e), "*a??b");
}

TEST(Listing, TotalsSkipContinuationParts) {
    rar::ListingTotals totals;
    totals.add(windowsFile());
    rar::Entry continued = windowsFile();
    continued.splitBefore = true;
    continued.packedSize = 1000;
    totals.add(continued);
    EXPECT_EQ(totals.count, 1u);
    EXPECT_EQ(rar::listingTotalsLine(totals), "    1           134319   125780  93%");
}

TEST(Listing, CommentLinesSplitOnEveryLineEnd) {
    EXPECT_EQ(rar::commentLines("one\r\ntwo\nthree\rfour"), (std::vector<std::string>{"one", "two", "three", "four"}));
    EXPECT_EQ(rar::commentLines("a\tb\x01"), (std::vector<std::string>{"a\tb?"}));
    EXPECT_EQ(rar::commentLines("end\n"), (std::vector<std::string>{"end"}));
}

}  // namespace
