#include <gtest/gtest.h>

#include "jobs/rename_job.h"
#include "platform/file.h"
#include "tests/jobs/job_test_fixture.h"
#include "tests/jobs/test_file_systems.h"

namespace {

using jobs::RenameResult;
using Outcome = RenameResult::Outcome;
using Texts = std::vector<std::string>;

Texts progressTexts(std::size_t count) {
    Texts t;
    for (std::size_t i = 1; i <= count; ++i) t.push_back("正在修改第" + std::to_string(i) + "个文件名称。");
    t.push_back("RAR文件名称修改完毕！");
    return t;
}

class RenameByNumber : public testsupport::JobTest {
protected:
    std::vector<RenameResult> run(jobs::VectorArchiveRows& rows, const std::string& prefix, const std::string& start,
                                  jobs::JobFileSystem* fs = nullptr, bool dryRun = false) {
        jobs::RenameJob job(commands, fs ? *fs : files);
        jobs::RenameRequest request;
        request.mode = jobs::RenameMode::ByNumber;
        request.prefix = prefix;
        request.startNumber = start;
        request.dryRun = dryRun;
        return job.run(request, rows, status.sink());
    }
    // The files of a folder, hidden temporary names included.
    Texts filesIn(const std::string& relative) const {
        Texts names;
        for (const auto& e : std::filesystem::directory_iterator(dir / relative)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RenameByNumber, HelpExampleAndWidths) {
    struct Case {
        const char* prefix;
        const char* start;
        std::size_t archives;
        Texts names;
    } cases[] = {
        {"示例", "00005", 3, {"示例00005.rar", "示例00006.rar", "示例00007.rar"}},
        {"示例", "00009", 2, {"示例00009.rar", "示例00010.rar"}},
        {"示例", "7", 3, {"示例7.rar", "示例8.rar", "示例9.rar"}},
        {"v", "99", 2, {"v99.rar", "v100.rar"}},
        {"", "001", 2, {"001.rar", "002.rar"}},
        {"第 ", "0", 1, {"第 0.rar"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.prefix) + c.start);
        testsupport::TempDir sub;
        jobs::VectorArchiveRows rows;
        for (std::size_t i = 0; i < c.archives; ++i) {
            auto path = sub / ("原" + std::to_string(i) + ".rar");
            commands.writeArchive(path, "help-example", std::to_string(i));
            rows.add(path.string());
        }
        status.texts.clear();
        auto results = run(rows, c.prefix, c.start);
        EXPECT_EQ(status.texts, progressTexts(c.archives));
        ASSERT_EQ(results.size(), c.archives);
        for (std::size_t i = 0; i < c.archives; ++i) {
            EXPECT_EQ(results[i].outcome, Outcome::Renamed);
            EXPECT_EQ(rows.pathAt(i), (sub / c.names[i]).string());
            EXPECT_EQ(testsupport::FakeArchiveCommands::tagOf(sub / c.names[i]), std::to_string(i));
        }
    }
    EXPECT_TRUE(commands.calls.empty());  // this mode runs no archiver command
}

TEST_F(RenameByNumber, DirectoriesAreKeptAndTheNumberingRunsOnAcrossThem) {
    jobs::VectorArchiveRows rows({archive("甲/a.rar", "help-example"), archive("乙/b.rar", "help-example"),
                                  archive("甲/c.rar", "help-example")});
    run(rows, "示例", "1");
    EXPECT_EQ(rows.paths(), (Texts{at("甲/示例1.rar"), at("乙/示例2.rar"), at("甲/示例3.rar")}));
    EXPECT_EQ(tag("乙/示例2.rar"), "乙/b.rar");
    EXPECT_EQ(tag("甲/示例3.rar"), "甲/c.rar");
}

TEST_F(RenameByNumber, PathLeftFromAnEarlierRunIsAClashTheBatchGoesOn) {
    dir.write("d/示例00006.rar", "left over");
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example"), archive("d/b.rar", "help-example"),
                                  archive("d/c.rar", "help-example")});
    auto results = run(rows, "示例", "00005");
    EXPECT_EQ(status.texts, (Texts{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "文件已存在！该文件被删除！",
                                   "正在修改第3个文件名称。", "RAR文件名称修改完毕！"}));
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[1].outcome, Outcome::Trashed);
    EXPECT_EQ(platform::readWholeFile(dir / "d/示例00006.rar").value(), "left over");
    EXPECT_EQ(tag("d/示例00007.rar"), "d/c.rar");
    EXPECT_EQ(trashed(), (Texts{"b.rar"}));
}

TEST_F(RenameByNumber, RunningTheSameNumberingTwiceGivesTheSameNames) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example"), archive("d/b.rar", "help-example")});
    run(rows, "示例", "00005");
    status.texts.clear();
    auto again = run(rows, "示例", "00005");
    EXPECT_EQ(status.texts, progressTexts(2));
    for (const auto& r : again) EXPECT_EQ(r.outcome, Outcome::AlreadyNamed);
    EXPECT_EQ(filesIn("d"), (Texts{"示例00005.rar", "示例00006.rar"}));
    EXPECT_EQ(tag("d/示例00005.rar"), "d/a.rar");
    EXPECT_TRUE(trashed().empty());
}

// The list in another order than the names: every new path is a name another row holds
// now. Nothing is lost, nothing goes to the trash, no temporary name is left.
TEST_F(RenameByNumber, NamesHeldByOtherRowsAreNoClash) {
    struct Case {
        const char* what;
        Texts files;   // in list order
        Texts expect;  // the name each row's archive ends under
    } cases[] = {
        {"swapped pair", {"示例00006.rar", "示例00005.rar"}, {"示例00005.rar", "示例00006.rar"}},
        {"shift by one", {"x.rar", "示例00005.rar", "示例00006.rar"}, {"示例00005.rar", "示例00006.rar", "示例00007.rar"}},
        {"rotation of three", {"示例00007.rar", "示例00005.rar", "示例00006.rar"},
         {"示例00005.rar", "示例00006.rar", "示例00007.rar"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir sub;
        jobs::VectorArchiveRows rows;
        for (const auto& f : c.files) {
            commands.writeArchive(sub / f, "help-example", f);
            rows.add((sub / f).string());
        }
        status.texts.clear();
        auto results = run(rows, "示例", "00005");
        EXPECT_EQ(status.texts, progressTexts(c.files.size()));
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            EXPECT_EQ(results[i].outcome, Outcome::Renamed) << i;
            EXPECT_EQ(testsupport::FakeArchiveCommands::tagOf(sub / c.expect[i]), c.files[i]);
        }
        std::size_t count = 0;
        for (const auto& e : std::filesystem::directory_iterator(sub.path())) count += e.is_regular_file();
        EXPECT_EQ(count, c.files.size());
    }
    EXPECT_TRUE(trashed().empty());
}

TEST_F(RenameByNumber, StartNumbersThatNameNothing) {
    struct Case {
        const char* start;
        Outcome outcome;
        const char* detail;
    } cases[] = {
        {"", Outcome::NothingTyped, "未更名：没有填写起始序号"},
        {"-5", Outcome::BadStartNumber, "未更名：起始序号只能由数字0到9组成"},
        {"1-", Outcome::BadStartNumber, "未更名：起始序号只能由数字0到9组成"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "help-example")});
        status.texts.clear();
        auto results = run(rows, "示例", c.start);
        EXPECT_EQ(status.texts, progressTexts(2));
        ASSERT_EQ(results.size(), 2u);
        for (const auto& r : results) {
            EXPECT_EQ(r.outcome, c.outcome);
            EXPECT_EQ(r.detail, c.detail);
        }
        EXPECT_TRUE(exists("a.rar"));
        EXPECT_TRUE(exists("b.rar"));
    }
}

TEST_F(RenameByNumber, RowsThatKeepTheirNames) {
    archive("d/a.rar", "help-example");
    std::filesystem::create_hard_link(dir / "d/a.rar", dir / "d/a-link.rar");
    jobs::VectorArchiveRows rows({at("d/a.rar"), at("d/gone.rar"), at("d/a-link.rar"), at("d/a.rar")});
    auto results = run(rows, "n", "1");
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[1].outcome, Outcome::Missing);
    EXPECT_EQ(results[2].outcome, Outcome::SameAsEarlierRow);
    EXPECT_EQ(results[2].detail, "未更名：与第1个是同一个文件");
    EXPECT_EQ(results[3].outcome, Outcome::SameAsEarlierRow);
    EXPECT_EQ(filesIn("d"), (Texts{"a-link.rar", "n1.rar"}));
}

TEST_F(RenameByNumber, RefusedPrefixLeavesEveryArchiveAlone) {
    for (const char* prefix : {"a:b", "NUL.", "x/", "a\t"}) {
        SCOPED_TRACE(prefix);
        jobs::VectorArchiveRows rows({archive("a.rar", "help-example")});
        auto results = run(rows, prefix, "1");
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results[0].outcome, Outcome::NameRefused);
        EXPECT_TRUE(exists("a.rar"));
    }
}

TEST_F(RenameByNumber, CaseOnlyDifferenceOnACaseBlindFileSystemIsLeftAlone) {
    testsupport::CaseBlindFileSystem caseBlind(trashDir);
    jobs::VectorArchiveRows rows({archive("d/ABC1.RAR", "help-example"), archive("d/x.rar", "help-example")});
    auto results = run(rows, "abc", "1", &caseBlind);
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::AlreadyNamed);
    EXPECT_EQ(results[1].outcome, Outcome::Renamed);
    EXPECT_EQ(filesIn("d"), (Texts{"ABC1.RAR", "abc2.rar"}));
}

TEST_F(RenameByNumber, DryRunPlansTheSwapAndTouchesNothing) {
    jobs::VectorArchiveRows rows({archive("d/示例2.rar", "help-example"), archive("d/示例1.rar", "help-example"),
                                  archive("d/c.rar", "help-example")});
    dir.write("d/示例3.rar", "stranger");
    auto results = run(rows, "示例", "1", nullptr, /*dryRun=*/true);
    EXPECT_TRUE(status.texts.empty());
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[0].newPath, at("d/示例1.rar"));
    EXPECT_EQ(results[1].outcome, Outcome::Renamed);
    EXPECT_EQ(results[2].outcome, Outcome::Trashed);
    EXPECT_EQ(filesIn("d"), (Texts{"c.rar", "示例1.rar", "示例2.rar", "示例3.rar"}));
    EXPECT_EQ(tag("d/示例1.rar"), "d/示例1.rar");
    EXPECT_EQ(rows.pathAt(0), at("d/示例2.rar"));
}

}  // namespace
