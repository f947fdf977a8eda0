// The command set's exchange files where a symbolic link can be planted in their place.
#include "archiver/driver/archiver_command_set.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using drivertest::FakeWorkspace;

// A write follows a link to the file behind it; the exchange files are the command set's
// own, so a link planted under their names is dropped, and what it points to stays as it was.
TEST(ExchangeFiles, ALinkPlantedUnderTheirNamesIsReplacedNotWrittenThrough) {
    FakeWorkspace ws;
    testsupport::TempDir elsewhere;
    ws.write("answer.txt", "\r\n\xCD\xEA\xB3\xC9");  // 完成
    ws.script("print answer.txt\n");
    ArchiverCommandSet commands(ws.runner());
    for (const char* name : {"mylist.lst", "filelist.txt"}) {
        auto victim = elsewhere.write(name, "keep me");
        std::filesystem::create_symlink(victim, ws / name);
    }

    EXPECT_TRUE(commands.addToArchive(ws.at("a.rar"), {"/d/x.txt"}, {}));
    EXPECT_FALSE(std::filesystem::is_symlink(ws / "mylist.lst"));
    EXPECT_EQ(ws.read("mylist.lst"), "/d/x.txt\r\n");
    commands.listArchive(ws.at("a.rar"), "");
    EXPECT_FALSE(std::filesystem::is_symlink(ws / "filelist.txt"));

    for (const char* name : {"mylist.lst", "filelist.txt"}) {
        EXPECT_EQ(*platform::readWholeFile(elsewhere / name), "keep me") << name;
    }
}

}  // namespace
