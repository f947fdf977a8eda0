#include <gtest/gtest.h>

#include <stop_token>

#include "jobs/rename_job.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "tests/jobs/job_test_fixture.h"
#include "tests/jobs/test_file_systems.h"

namespace {

using jobs::RenameResult;
using Outcome = RenameResult::Outcome;
using Texts = std::vector<std::string>;

class RenameByExtension : public testsupport::JobTest {
protected:
    std::vector<RenameResult> run(jobs::VectorArchiveRows& rows, const std::string& extension,
                                  jobs::JobFileSystem* fs = nullptr, bool dryRun = false) {
        jobs::RenameJob job(commands, fs ? *fs : files);
        jobs::RenameRequest request;
        request.mode = jobs::RenameMode::ByExtension;
        request.extension = extension;
        request.dryRun = dryRun;
        return job.run(request, rows, status.sink());
    }
};

TEST_F(RenameByExtension, HelpExampleTakesTheNameOfTheExeEntry) {
    jobs::VectorArchiveRows rows({archive("资料/a.rar", "help-example")});
    auto results = run(rows, "exe");

    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "RAR文件名称修改完毕！"}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[0].ordinal, 1u);
    EXPECT_EQ(results[0].newPath, at("资料/文件2.rar"));
    EXPECT_EQ(jobs::resultListText(results[0]), at("资料/文件2.rar"));
    EXPECT_FALSE(exists("资料/a.rar"));
    EXPECT_EQ(tag("资料/文件2.rar"), "资料/a.rar");
    EXPECT_EQ(rows.pathAt(0), at("资料/文件2.rar"));
    EXPECT_EQ(commands.passwords, (Texts{"tz5083"}));
}

TEST_F(RenameByExtension, EmptyListShowsOnlyTheCompletionText) {
    jobs::VectorArchiveRows rows;
    EXPECT_TRUE(run(rows, "exe").empty());
    EXPECT_EQ(status.texts, (Texts{"RAR文件名称修改完毕！"}));
    EXPECT_TRUE(commands.calls.empty());
}

// One batch over archives in their own folders: the status line counts 1, 2, 3... in row
// order whatever happens to each archive, and each gets its own result.
TEST_F(RenameByExtension, EveryKindOfArchiveInOneBatch) {
    struct Case {
        const char* file;
        const char* contents;  // nullptr: a file that is no archive; "": no file at all
        Outcome outcome;
        const char* newName;  // in the archive's folder; nullptr when it keeps its name
        const char* detail;
    } cases[] = {
        {"1/a.rar", "help-example", Outcome::Renamed, "文件2.rar", ""},
        {"2/a.rar", "in-folders", Outcome::Renamed, "文件2.rar", ""},
        {"3/a.rar", "folder-named-like-file", Outcome::Renamed, "安装.rar", ""},
        {"4/a.rar", "encrypted", Outcome::Renamed, "秘密.rar", ""},
        {"5/a.rar", "two-exe", Outcome::Renamed, "甲.rar", ""},
        {"6/a.rar", "no-exe", Outcome::NoMatchingEntry, nullptr, "未更名：压缩包内没有后缀为“exe”的文件"},
        {"7/a.rar", "empty", Outcome::NoMatchingEntry, nullptr, "未更名：压缩包内没有后缀为“exe”的文件"},
        {"8/a.rar", nullptr, Outcome::CannotList, nullptr, nullptr},
        {"9/a.rar", "", Outcome::CannotList, nullptr, "未更名：无法读取压缩包内容：找不到压缩包"},
        {"10/文件2.rar", "help-example", Outcome::AlreadyNamed, nullptr, "名称已是新名称，未改动"},
        {"11/a.rar", "dotted", Outcome::NameRefused, nullptr, "未更名：新名称“.rar”不可用：名称为空"},
        {"12/a.rar", "reserved-entry", Outcome::NameRefused, nullptr, "未更名：新名称“con.rar”不可用：“con”是系统保留的名称"},
        {"13/a.rar", "colon-entry", Outcome::NameRefused, nullptr, "未更名：新名称“a:b.rar”不可用：名称含有不允许的字符“:”"},
    };
    jobs::VectorArchiveRows rows;
    Texts expectedStatus;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        if (c.contents == nullptr) {
            dir.write(c.file, "PK\x03\x04 not a rar");
        } else if (*c.contents) {
            archive(c.file, c.contents);
        }
        rows.add(at(c.file));
        expectedStatus.push_back("正在修改第" + std::to_string(i + 1) + "个文件名称。");
    }
    expectedStatus.push_back("RAR文件名称修改完毕！");

    auto results = run(rows, "exe");
    EXPECT_EQ(status.texts, expectedStatus);
    ASSERT_EQ(results.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const auto& r = results[i];
        SCOPED_TRACE(c.file);
        EXPECT_EQ(r.ordinal, i + 1);
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.oldPath, at(c.file));
        if (c.detail) {
            EXPECT_EQ(r.detail, c.detail);
        }
        if (c.newName) {
            const std::string folder = platform::utf8FromPath(platform::pathFromUtf8(c.file).parent_path());
            EXPECT_EQ(rows.pathAt(i), at(folder + "/" + c.newName));
            EXPECT_EQ(tag(folder + "/" + c.newName), c.file);
        } else {
            EXPECT_EQ(rows.pathAt(i), at(c.file));
            EXPECT_EQ(jobs::resultListText(r), at(c.file) + "（" + r.detail + "）");
        }
    }
    EXPECT_TRUE(trashed().empty());
}

TEST_F(RenameByExtension, ExtensionIsComparedWithoutCaseAndMayCarryADot) {
    for (const char* typed : {".exe", "EXE", " .Exe "}) {
        testsupport::TempDir sub;
        commands.writeArchive(sub / "a.rar", "help-example");
        jobs::VectorArchiveRows rows({(sub / "a.rar").string()});
        auto results = run(rows, typed);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].outcome, Outcome::Renamed) << typed;
        EXPECT_TRUE(std::filesystem::exists(sub / "文件2.rar")) << typed;
    }
}

TEST_F(RenameByExtension, EmptyExtensionRenamesNothingAndListsNothing) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "two-exe")});
    auto results = run(rows, "  ");
    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "RAR文件名称修改完毕！"}));
    ASSERT_EQ(results.size(), 2u);
    for (const auto& r : results) {
        EXPECT_EQ(r.outcome, Outcome::NothingTyped);
        EXPECT_EQ(r.detail, "未更名：没有填写后缀");
    }
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_TRUE(exists("a.rar"));
    EXPECT_TRUE(exists("b.rar"));
}

// Two archives in one folder that both hold 文件2.exe: the first takes the name, the
// second is the one that goes, into the trash, where it can be got back.
TEST_F(RenameByExtension, ClashSendsTheArchiveJustProcessedToTheTrash) {
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example")});
    auto results = run(rows, "exe");

    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "文件已存在！该文件被删除！",
                                   "RAR文件名称修改完毕！"}));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[1].outcome, Outcome::Trashed);
    EXPECT_EQ(results[1].newPath, at("d/文件2.rar"));
    EXPECT_TRUE(results[1].currentPath.empty());
    EXPECT_EQ(tag("d/文件2.rar"), "d/first.rar");
    EXPECT_FALSE(exists("d/second.rar"));
    EXPECT_EQ(trashed(), (Texts{"second.rar"}));
    EXPECT_EQ(testsupport::FakeArchiveCommands::tagOf(trashDir / "files/second.rar"), "d/second.rar");
    EXPECT_EQ(rows.pathAt(1), at("d/second.rar"));
    EXPECT_NE(jobs::resultListText(results[1]).find("本压缩包已移到回收站"), std::string::npos);
}

TEST_F(RenameByExtension, ClashNeverTouchesAFileNobodyListed) {
    dir.write("d/文件2.rar", "someone else's file");
    jobs::VectorArchiveRows rows({archive("d/mine.rar", "help-example")});
    auto results = run(rows, "exe");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::Trashed);
    EXPECT_EQ(platform::readWholeFile(dir / "d/文件2.rar").value(), "someone else's file");
    EXPECT_EQ(trashed(), (Texts{"mine.rar"}));
}

TEST_F(RenameByExtension, ClashWithoutATrashKeepsTheArchiveAndSaysSo) {
    testsupport::NoTrashFileSystem noTrash;
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example")});
    auto results = run(rows, "exe", &noTrash);

    // "该文件被删除" would be untrue: the status line keeps its progress text.
    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "RAR文件名称修改完毕！"}));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].outcome, Outcome::ClashKept);
    EXPECT_EQ(results[1].currentPath, at("d/second.rar"));
    EXPECT_EQ(tag("d/second.rar"), "d/second.rar");
    EXPECT_EQ(tag("d/文件2.rar"), "d/first.rar");
    EXPECT_NE(results[1].detail.find("回收站无法接收"), std::string::npos);
    EXPECT_EQ(results[1].category(), RenameResult::Category::Failed);
}

// The older recycle-bin interface of Windows takes the file without saying where to.
TEST_F(RenameByExtension, ClashIntoATrashThatDoesNotSayWhereNamesNoPlace) {
    testsupport::UntoldTrashFileSystem untold(dir / "bin");
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example")});
    auto results = run(rows, "exe", &untold);

    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[1].outcome, Outcome::Trashed);
    EXPECT_EQ(results[1].detail, "文件已存在：" + at("d/文件2.rar") + "；本压缩包已移到回收站");
    EXPECT_FALSE(exists("d/second.rar"));
    EXPECT_TRUE(std::filesystem::exists(dir / "bin/second.rar"));
}

TEST_F(RenameByExtension, ArchiveAlreadyUnderItsNewNameIsNeverDeleted) {
    // Only letter case differs, on a file system that ignores it.
    testsupport::CaseBlindFileSystem caseBlind(trashDir);
    jobs::VectorArchiveRows upper({archive("c/文件2.RAR", "help-example")});
    auto results = run(upper, "exe", &caseBlind);
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::AlreadyNamed);
    EXPECT_TRUE(exists("c/文件2.RAR"));

    // Two names of one file.
    archive("h/a.rar", "help-example");
    std::filesystem::create_hard_link(dir / "h/a.rar", dir / "h/文件2.rar");
    jobs::VectorArchiveRows linked({at("h/a.rar")});
    results = run(linked, "exe");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::AlreadyNamed);
    EXPECT_TRUE(exists("h/a.rar"));
    EXPECT_TRUE(exists("h/文件2.rar"));
    EXPECT_TRUE(trashed().empty());
    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "RAR文件名称修改完毕！", "正在修改第1个文件名称。",
                                   "RAR文件名称修改完毕！"}));
}

TEST_F(RenameByExtension, LetterCaseChangeOnACaseSensitiveFileSystemIsARename) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file systems ignore letter case (the case-blind test covers what happens there)";
#endif
    jobs::VectorArchiveRows rows({archive("文件2.RAR", "help-example")});
    auto results = run(rows, "exe");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_TRUE(exists("文件2.rar"));
    EXPECT_FALSE(exists("文件2.RAR"));
}

TEST_F(RenameByExtension, StopRequestEndsTheBatchBetweenArchives) {
    jobs::VectorArchiveRows rows({archive("1/a.rar", "help-example"), archive("2/a.rar", "help-example")});
    std::stop_source stop;
    jobs::RenameJob job(commands, files);
    jobs::RenameRequest request;
    request.extension = "exe";
    auto results = job.run(request, rows, status.sink(), [&](const RenameResult&) { stop.request_stop(); },
                           stop.get_token());
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "RAR文件名称修改完毕！"}));
    EXPECT_TRUE(exists("2/a.rar"));
}

TEST_F(RenameByExtension, ResultsReachTheSinkAsTheyHappen) {
    jobs::VectorArchiveRows rows({archive("1/a.rar", "help-example"), archive("2/a.rar", "no-exe")});
    std::vector<std::string> seen;
    jobs::RenameJob job(commands, files);
    jobs::RenameRequest request;
    request.extension = "exe";
    job.run(request, rows, [&](const std::string& t) { seen.push_back("status " + t); },
            [&](const RenameResult& r) { seen.push_back("result " + std::to_string(r.ordinal)); });
    EXPECT_EQ(seen, (Texts{"status 正在修改第1个文件名称。", "result 1", "status 正在修改第2个文件名称。", "result 2",
                           "status RAR文件名称修改完毕！"}));
}

TEST_F(RenameByExtension, DryRunChangesNothingAndForeseesTheClash) {
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example"),
                                  archive("d/third.rar", "no-exe")});
    auto results = run(rows, "exe", nullptr, /*dryRun=*/true);
    EXPECT_TRUE(status.texts.empty());
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[0].newPath, at("d/文件2.rar"));
    EXPECT_EQ(results[1].outcome, Outcome::Trashed);
    EXPECT_EQ(results[1].detail, "文件已存在：" + at("d/文件2.rar") + "；本压缩包将移到回收站");
    EXPECT_EQ(results[2].outcome, Outcome::NoMatchingEntry);
    for (auto r : results) EXPECT_TRUE(r.dryRun);
    EXPECT_TRUE(exists("d/first.rar"));
    EXPECT_TRUE(exists("d/second.rar"));
    EXPECT_FALSE(exists("d/文件2.rar"));
    EXPECT_EQ(rows.pathAt(0), at("d/first.rar"));
    EXPECT_TRUE(trashed().empty());
}

}  // namespace
