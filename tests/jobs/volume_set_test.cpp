#include "jobs/volume_set.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using jobs::VolumeNaming;
using Paths = std::vector<std::string>;

TEST(VolumeName, ReadsBothNamingsInAnyWidthAndCase) {
    struct Case {
        const char* path;
        bool volume;
        VolumeNaming naming;
        const char* stem;
        std::size_t width;
        std::size_t index;
    } cases[] = {
        {"/d/a.part1.rar", true, VolumeNaming::PartNumber, "/d/a", 1, 1},
        {"/d/示例.part01.rar", true, VolumeNaming::PartNumber, "/d/示例", 2, 1},
        {"/d/x.y.PART0010.RAR", true, VolumeNaming::PartNumber, "/d/x.y", 4, 10},
        {"/d/a.rar", true, VolumeNaming::OldStyle, "/d/a", 0, 0},
        {"/d/a.r00", true, VolumeNaming::OldStyle, "/d/a", 0, 1},
        {"/d/a.R17", true, VolumeNaming::OldStyle, "/d/a", 0, 18},
        {"/d/a.part0.rar", false, VolumeNaming::PartNumber, "", 0, 0},   // volumes count from 1
        {"/d/.part1.rar", true, VolumeNaming::OldStyle, "/d/.part1", 0, 0},  // no stem: a plain name
        {"/d/apart1.rar", true, VolumeNaming::OldStyle, "/d/apart1", 0, 0},
        {"/d/a.zip", false, VolumeNaming::PartNumber, "", 0, 0},
        {"/d/a.r0", false, VolumeNaming::PartNumber, "", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        auto v = jobs::volumeNameOf(c.path);
        ASSERT_EQ(v.has_value(), c.volume);
        if (!v) continue;
        EXPECT_EQ(v->naming, c.naming);
        EXPECT_EQ(v->stem, c.stem);
        EXPECT_EQ(v->width, c.width);
        EXPECT_EQ(v->index, c.index);
    }
    auto wide = *jobs::volumeNameOf("/d/a.PART01.Rar");
    EXPECT_EQ(jobs::volumePath(wide, 10, "/e/示例00005"), "/e/示例00005.PART10.Rar");
    auto old = *jobs::volumeNameOf("/d/a.rar");
    EXPECT_EQ(jobs::volumePath(old, 0, "/d/b"), "/d/b.rar");
    EXPECT_EQ(jobs::volumePath(old, 1, "/d/b"), "/d/b.r00");
    EXPECT_EQ(jobs::volumePath(old, 12, "/d/b"), "/d/b.r11");
}

struct Disk {
    std::set<std::string> files;
    jobs::FileExists exists() const {
        return [this](const std::string& p) { return files.count(p) > 0; };
    }
};

TEST(VolumeSets, GroupsTheListIntoArchivesInTheOrderOfTheirFirstRows) {
    Disk disk{{"/d/a.rar", "/d/s.part1.rar", "/d/s.part2.rar", "/d/s.part3.rar", "/d/o.rar", "/d/o.r00", "/d/o.r01",
               "/d/w.part01.rar", "/d/w.part02.rar", "/d/w.part10.rar", "/d/w.part03.rar", "/d/w.part04.rar",
               "/d/w.part05.rar", "/d/w.part06.rar", "/d/w.part07.rar", "/d/w.part08.rar", "/d/w.part09.rar",
               "/d/lone.part1.rar"}};
    const Paths list = {"/d/s.part2.rar", "/d/a.rar", "/d/s.part1.rar", "/d/o.rar", "/d/w.part01.rar",
                        "/d/s.part3.rar", "/d/w.part10.rar", "/d/lone.part1.rar", "/d/a.rar"};
    auto units = jobs::groupVolumeSets(list, disk.exists());
    ASSERT_EQ(units.size(), 6u);
    EXPECT_TRUE(units[0].isSet);
    EXPECT_EQ(units[0].rows, (std::vector<std::size_t>{0, 2, 5}));
    EXPECT_EQ(units[0].volumes, (Paths{"/d/s.part1.rar", "/d/s.part2.rar", "/d/s.part3.rar"}));
    EXPECT_TRUE(units[0].complete());
    EXPECT_FALSE(units[1].isSet);  // a.rar: no a.r00 beside it
    EXPECT_EQ(units[1].rows, (std::vector<std::size_t>{1}));
    EXPECT_EQ(units[2].volumes, (Paths{"/d/o.rar", "/d/o.r00", "/d/o.r01"}));
    EXPECT_EQ(units[3].rows, (std::vector<std::size_t>{4, 6}));
    ASSERT_EQ(units[3].volumes.size(), 10u);
    EXPECT_EQ(units[3].volumes.back(), "/d/w.part10.rar");
    EXPECT_TRUE(units[4].isSet);
    EXPECT_EQ(units[4].volumes, (Paths{"/d/lone.part1.rar"}));
    // The same single archive named twice is two rows of its own, as before.
    EXPECT_FALSE(units[5].isSet);
    EXPECT_EQ(units[5].rows, (std::vector<std::size_t>{8}));
}

TEST(VolumeSets, ASetWithAVolumeMissingSaysWhichOne) {
    struct Case {
        const char* what;
        std::set<std::string> files;
        Paths list;
        const char* missing;
    } cases[] = {
        {"gap in the middle", {"/d/s.part1.rar", "/d/s.part3.rar"}, {"/d/s.part1.rar"}, "/d/s.part2.rar"},
        {"a listed volume after the gap", {"/d/s.part1.rar", "/d/s.part2.rar"}, {"/d/s.part1.rar", "/d/s.part4.rar"},
         "/d/s.part3.rar"},
        {"first volume missing", {"/d/s.part2.rar", "/d/s.part3.rar"}, {"/d/s.part2.rar", "/d/s.part3.rar"},
         "/d/s.part1.rar"},
        {"old style without its .rar", {"/d/o.r00", "/d/o.r01"}, {"/d/o.r00"}, "/d/o.rar"},
        {"old style with a gap", {"/d/o.rar", "/d/o.r00", "/d/o.r02"}, {"/d/o.rar"}, "/d/o.r01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Disk disk{c.files};
        auto units = jobs::groupVolumeSets(c.list, disk.exists());
        ASSERT_EQ(units.size(), 1u);
        EXPECT_TRUE(units[0].isSet);
        EXPECT_FALSE(units[0].complete());
        EXPECT_EQ(units[0].missingVolume, c.missing);
    }
}

}  // namespace
