#include "ui/core/archive_list.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> pathsOf(const ArchiveRows& rows) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < rows.count(); ++i) out.push_back(rows.pathAt(i));
    return out;
}

TEST(ArchiveList, KeepsTheOrderOfAddingAndRefusesAPathTwice) {
    ArchiveList list;
    EXPECT_EQ(list.count(), 0u);
    EXPECT_TRUE(list.add("/d/b.rar"));
    EXPECT_TRUE(list.add("/d/a.rar"));
    EXPECT_FALSE(list.add("/d/b.rar"));
    EXPECT_TRUE(list.add("/d/资料/文件2.rar"));
    EXPECT_EQ(pathsOf(list), (std::vector<std::string>{"/d/b.rar", "/d/a.rar", "/d/资料/文件2.rar"}));
    EXPECT_TRUE(list.contains("/d/a.rar"));
    EXPECT_FALSE(list.contains("/d/c.rar"));
}

// A second spelling of a name the file system takes as the same one is the same archive.
TEST(ArchiveList, RefusesAnotherSpellingOfAPathWhereTheFileSystemTakesItAsTheSame) {
    ArchiveList list;
    EXPECT_TRUE(list.add("C:\\资料\\Ärger.rar"));
#ifdef _WIN32
    EXPECT_FALSE(list.add("c:/资料/ärger.RAR"));
    EXPECT_TRUE(list.contains("C:/资料/ÄRGER.rar"));
    EXPECT_EQ(pathsOf(list), (std::vector<std::string>{"C:\\资料\\Ärger.rar"}));
    list.setPathAt(0, "C:\\资料\\新.rar");
    EXPECT_TRUE(list.add("C:\\资料\\ärger.rar"));
#else
    EXPECT_TRUE(list.add("c:/资料/ärger.RAR"));
    EXPECT_FALSE(list.contains("C:\\资料\\ärger.rar"));
#endif
}

TEST(ArchiveList, RemovingARowShiftsTheRestAndFreesItsPath) {
    ArchiveList list;
    for (const char* p : {"/1.rar", "/2.rar", "/3.rar"}) list.add(p);
    EXPECT_TRUE(list.removeAt(1));
    EXPECT_FALSE(list.removeAt(2));
    EXPECT_EQ(pathsOf(list), (std::vector<std::string>{"/1.rar", "/3.rar"}));
    EXPECT_TRUE(list.add("/2.rar"));
    EXPECT_EQ(list.pathAt(2), "/2.rar");
}

TEST(ArchiveList, ClearLeavesNoRowsForTheJobs) {
    ArchiveList list;
    list.add("/1.rar");
    list.add("/2.rar");
    list.clear();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(list.pathAt(0), "");
    EXPECT_TRUE(list.add("/1.rar"));
}

TEST(ArchiveList, APathWrittenBackReplacesTheOldOneInTheDuplicateCheck) {
    ArchiveList list;
    list.add("/d/a.rar");
    list.add("/d/b.rar");
    list.setPathAt(0, "/d/文件2.rar");
    list.setPathAt(5, "/d/ignored.rar");
    EXPECT_EQ(pathsOf(list), (std::vector<std::string>{"/d/文件2.rar", "/d/b.rar"}));
    EXPECT_FALSE(list.add("/d/文件2.rar"));
    EXPECT_TRUE(list.add("/d/a.rar"));
    // Two rows holding one path: removing one must leave the other known.
    list.setPathAt(1, "/d/文件2.rar");
    list.removeAt(0);
    EXPECT_TRUE(list.contains("/d/文件2.rar"));
}

TEST(ArchiveList, RunningNumbersCountFromOne) {
    EXPECT_EQ(runningNumber(0), "1");
    EXPECT_EQ(runningNumber(9), "10");
}

}  // namespace
