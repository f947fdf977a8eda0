// The window with the real job starter and the carried archiver: a clean job on a copy of
// a real archive, as a user would start it.
#include <filesystem>

#include "tests/support/fixtures.h"
#include "tests/ui_win32/window_fixture.h"
#include "ui/core/worker_job_starter.h"

namespace {

TEST(WindowWithArchiver, CleansARealArchiveAndSaysSoInTheStatusLine) {
    SKIP_WITHOUT_DESKTOP();
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir tmp;
    const auto work = tmp / "work";
    std::filesystem::create_directories(work);
    const auto archive = tmp / "下载/测试.rar";
    std::filesystem::create_directories(archive.parent_path());
    std::filesystem::copy_file(testsupport::fixture("test_read_format_rar.rar"), archive);
    // The fixtures are read-only; an archive the user cleans is not.
    std::filesystem::permissions(archive, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const auto sizeBefore = std::filesystem::file_size(archive);

    SettingsFile settings(SettingsFile::Places{tmp / "settings", {}, [](const std::filesystem::path&) { return true; }});
    std::filesystem::create_directories(tmp / "settings");
    WorkerJobStarter jobs(WorkerJobStarter::archiverSessions(work));
    FakeDialogs dialogs;
    dialogs.files = {archive.string()};
    win32ui::MainWindow window(jobs, settings, dialogs);
    window.show();
    ::SendMessageW(window.control(Control::按钮_添加), BM_CLICK, 0, 0);
    window.pages().select(2);
    window.setText(Control::编辑框1, "testlink");
    ::SendMessageW(window.control(Control::按钮_删除指定文件), BM_CLICK, 0, 0);
    ASSERT_TRUE(window.presenter().jobRunning());

    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    MSG message;
    while (window.presenter().jobRunning() && std::chrono::steady_clock::now() < end) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ASSERT_FALSE(window.presenter().jobRunning()) << "the clean job did not finish within a minute";
    EXPECT_EQ(window.text(Control::标签_状态), "文件打扫完毕！");
    EXPECT_TRUE(std::filesystem::exists(work / "myrar.exe"));
    EXPECT_LT(std::filesystem::file_size(archive), sizeBefore);
    EXPECT_EQ(window.presenter().archives().pathAt(0), archive.string());
}

}  // namespace
