// The window in use: typing, clicking, the tabs, the lists, the dialogs, the events that
// reach the presenter, work from other threads, and the settings at start and end.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "tests/ui_win32/window_fixture.h"
#include "ui/win32/window_style.h"
#include "ui/win32/window_text.h"

namespace fs = std::filesystem;

namespace {

using namespace win32ui::style;

void setClipboardText(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

TEST_F(WindowTest, TheStartNumberBoxTakesOnlyDigitsAndMinusWhenTyped) {
    showPage(1);
    click(Control::单选框_按序号);
    ASSERT_TRUE(::IsWindowEnabled(find(Control::编辑框_序号)));
    HWND edit = find(Control::编辑框_序号);
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* expected;
    };
    const Step steps[] = {
        {"digits and minus", [&] { type(Control::编辑框_序号, L"1a-b 2.x"); }, "1-2"},
        {"punctuation and Chinese", [&] { type(Control::编辑框_序号, L"+,/:;=_*。示"); }, "1-2"},
        {"backspace", [&] { type(Control::编辑框_序号, L"\b"); }, "1-"},
        {"input method", [&] { type(Control::编辑框_序号, L"１二3a-", WM_IME_CHAR); }, "1-3-"},
        {"paste with Ctrl+V", [&] {
             setClipboardText(window->hwnd(), L"x9 y");
             type(Control::编辑框_序号, L"\x16");
         }, "1-3-x9 y"},
        {"set by the program", [&] { window->setText(Control::编辑框_序号, "abc 00005"); }, "abc 00005"},
        {"set through WM_SETTEXT", [&] { ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"七 7")); }, "七 7"},
    };
    for (const Step& s : steps) {
        s.act();
        EXPECT_EQ(textOf(Control::编辑框_序号), s.expected) << s.what;
    }
}

TEST_F(WindowTest, OtherEditBoxesTakeEveryCharacter) {
    showPage(1);
    type(Control::编辑框_前缀, L"a b.示例");
    EXPECT_EQ(window->text(Control::编辑框_前缀), "a b.示例");
    showPage(2);
    type(Control::编辑框1, L"文件1.txt\rb.exe");
    EXPECT_EQ(window->text(Control::编辑框1), "文件1.txt\r\nb.exe");
}

TEST_F(WindowTest, ExactlyOneRadioButtonIsSelectedAndTheyGovernTheStartNumber) {
    showPage(1);
    struct Click {
        Control button;
        bool numberChecked;
    };
    for (const Click& c : {Click{Control::单选框_按序号, true}, Click{Control::单选框_按序号, true},
                           Click{Control::单选框_按后缀, false}, Click{Control::单选框_按后缀, false},
                           Click{Control::单选框_按序号, true}}) {
        click(c.button);
        EXPECT_EQ(window->isChecked(Control::单选框_按序号), c.numberChecked);
        EXPECT_NE(window->isChecked(Control::单选框_按后缀), window->isChecked(Control::单选框_按序号));
        EXPECT_EQ(::IsWindowEnabled(find(Control::编辑框_序号)) != FALSE, c.numberChecked);
        EXPECT_EQ(::IsWindowEnabled(find(Control::标签5)) != FALSE, c.numberChecked);
        EXPECT_TRUE(::IsWindowEnabled(find(Control::编辑框_后缀)));
        EXPECT_TRUE(::IsWindowEnabled(find(Control::编辑框_前缀)));
    }
}

LPARAM pointAt(const RECT& r) { return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

TEST_F(WindowTest, TabTitlesAreRedWhenSelectedOrUnderThePointerAndGreyWhenDisabled) {
    win32ui::PageTabs& tabs = window->pages();
    EXPECT_EQ(tabs.titleColour(0), kRed);
    EXPECT_EQ(tabs.titleColour(1), kYellow);
    ::SendMessageW(tabs.hwnd(), WM_MOUSEMOVE, 0, pointAt(tabs.tabRect(2)));
    EXPECT_EQ(tabs.hovered(), 2);
    EXPECT_EQ(tabs.titleColour(2), kRed);
    EXPECT_EQ(tabs.titleColour(0), kRed);
    ::SendMessageW(tabs.hwnd(), WM_MOUSEMOVE, 0, pointAt(tabs.tabRect(1)));
    EXPECT_EQ(tabs.titleColour(2), kYellow);
    EXPECT_EQ(tabs.titleColour(1), kRed);
    ::SendMessageW(tabs.hwnd(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(tabs.hovered(), -1);
    EXPECT_EQ(tabs.titleColour(1), kYellow);
    ::EnableWindow(tabs.hwnd(), FALSE);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(tabs.titleColour(i), kGrey);
    ::EnableWindow(tabs.hwnd(), TRUE);
    EXPECT_EQ(tabs.titleColour(0), kRed);
}

TEST_F(WindowTest, ClickingATabShowsItsPage) {
    win32ui::PageTabs& tabs = window->pages();
    const LPARAM at = pointAt(tabs.tabRect(2));
    ::SendMessageW(tabs.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(tabs.hwnd(), WM_LBUTTONUP, 0, at);
    pump();
    EXPECT_EQ(tabs.current(), 2);
    EXPECT_TRUE(::IsWindowVisible(find(Control::编辑框1)));
    EXPECT_FALSE(::IsWindowVisible(find(Control::超级列表框_文件)));
    // The keyboard focus does not stay behind on a page that is hidden now.
    HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == nullptr || ::IsWindowVisible(focus));
}

TEST_F(WindowTest, TabMovesTheFocusInTheLayoutsOrderPastDisabledControls) {
    ::SetForegroundWindow(window->hwnd());
    ::SetFocus(find(Control::按钮_添加));
    pump();
    if (::GetFocus() != find(Control::按钮_添加)) GTEST_SKIP() << "the desktop gives this window no keyboard focus";
    const Control expected[] = {Control::按钮_清空, Control::编辑框_路径, Control::按钮_浏览, Control::超级列表框_文件,
                                Control::按钮_添加};
    for (Control c : expected) {
        MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001, 0, {}};
        EXPECT_TRUE(window->handleDialogKeys(tab));
        pump();
        EXPECT_EQ(::GetFocus(), find(c)) << controlName(c);
    }
    // In an edit box, Enter and Esc reach no button and do not close the window.
    ::SetFocus(find(Control::编辑框_路径));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        MSG press{find(Control::编辑框_路径), WM_KEYDOWN, key, 1, 0, {}};
        window->handleDialogKeys(press);
        pump();
    }
    EXPECT_TRUE(::IsWindow(window->hwnd()));
    EXPECT_TRUE(dialogs.fileRequests.empty());
}

TEST_F(WindowTest, TheAddButtonAsksForRarFilesAndAppendsThemOnce) {
    const fs::path before = fs::current_path();
    click(Control::按钮_添加);
    ASSERT_EQ(dialogs.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs.fileRequests[0].title, "请选择需要添加的文件");
    EXPECT_EQ(dialogs.fileRequests[0].filterName, "Rar压缩包");
    EXPECT_EQ(dialogs.fileRequests[0].filterPattern, "*.rar");
    EXPECT_EQ(dialogs.owners[0], window->hwnd());
    EXPECT_TRUE(window->list(Control::超级列表框_文件).rows().empty());

    const std::string a = (tmp / "下载/a.rar").string(), b = (tmp / "b.rar").string();
    dialogs.files = {b, a};
    click(Control::按钮_添加);
    dialogs.files = {a, (tmp / "c.rar").string()};
    click(Control::按钮_添加);
    const auto rows = window->list(Control::超级列表框_文件).rows();
    EXPECT_EQ(paths(rows), (std::vector<std::string>{b, a, (tmp / "c.rar").string()}));
    EXPECT_EQ(numbers(rows), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(window->selectedRow(Control::超级列表框_文件));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(WindowTest, BrowseWalksTheChosenFolderAndShowsItInThePathBox) {
    tmp.write("tree/top.rar", "");
    tmp.write("tree/sub/deeper/low.rar", "");
    tmp.write("tree/sub/other.zip", "");
    window->setText(Control::编辑框_路径, "C:\\kept");
    click(Control::按钮_浏览);
    ASSERT_EQ(dialogs.directoryRequests.size(), 1u);
    EXPECT_EQ(dialogs.directoryRequests[0], (std::pair<std::string, std::string>{"选择目录：", "C:\\kept"}));
    EXPECT_EQ(textOf(Control::编辑框_路径), "C:\\kept");

    const std::string tree = (tmp / "tree").string();
    dialogs.directory = tree;
    click(Control::按钮_浏览);
    ASSERT_TRUE(pumpUntil([&] { return !window->presenter().walking(); }));
    EXPECT_EQ(textOf(Control::编辑框_路径), tree);
    auto listed = paths(window->list(Control::超级列表框_文件).rows());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{(tmp.path() / "tree" / "sub" / "deeper" / "low.rar").string(),
                                                (tmp.path() / "tree" / "top.rar").string()}));
}

void focusRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.state = LVIS_FOCUSED | LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

TEST_F(WindowTest, ARowThatReceivesTheFocusEnablesRemoveOncePerChange) {
    dialogs.files = {(tmp / "a.rar").string(), (tmp / "b.rar").string(), (tmp / "c.rar").string()};
    click(Control::按钮_添加);
    HWND list = find(Control::超级列表框_文件);
    HWND remove = find(Control::按钮_删除);
    // Rows the program adds are no focus change of the user's.
    EXPECT_FALSE(::IsWindowEnabled(remove));

    focusRow(list, 1);
    pump();
    EXPECT_TRUE(::IsWindowEnabled(remove));
    EXPECT_EQ(window->selectedRow(Control::超级列表框_文件), 1u);
    // The row that has the focus gets it again, or only loses its selection: no new event,
    // so Remove stays as it was put.
    ::EnableWindow(remove, FALSE);
    focusRow(list, 1);
    pump();
    EXPECT_FALSE(::IsWindowEnabled(remove));
    LVITEMW deselect{};
    deselect.stateMask = LVIS_SELECTED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&deselect));
    pump();
    EXPECT_FALSE(::IsWindowEnabled(remove));
    EXPECT_FALSE(window->selectedRow(Control::超级列表框_文件));
    // The arrow key moves the focus to the next row: one event.
    ::SetFocus(list);
    ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    pump();
    EXPECT_TRUE(::IsWindowEnabled(remove));
    EXPECT_EQ(window->selectedRow(Control::超级列表框_文件), 2u);

    focusRow(list, 1);
    pump();
    click(Control::按钮_删除);
    const auto rows = window->list(Control::超级列表框_文件).rows();
    EXPECT_EQ(paths(rows), (std::vector<std::string>{(tmp / "a.rar").string(), (tmp / "c.rar").string()}));
    EXPECT_EQ(numbers(rows), (std::vector<std::string>{"1", "2"}));
    EXPECT_FALSE(::IsWindowEnabled(remove));
    EXPECT_FALSE(window->selectedRow(Control::超级列表框_文件));

    focusRow(list, 0);
    pump();
    EXPECT_TRUE(::IsWindowEnabled(remove));
    click(Control::按钮_清空);
    EXPECT_TRUE(window->list(Control::超级列表框_文件).rows().empty());
    EXPECT_EQ(window->presenter().archives().count(), 0u);
    EXPECT_FALSE(::IsWindowEnabled(remove));
}

TEST_F(WindowTest, TheStartButtonsHandTheInputsOfTheMomentToTheJobs) {
    window->setText(Control::编辑框_后缀, "exe");
    window->setText(Control::编辑框_前缀, "示例");
    showPage(1);
    click(Control::单选框_按序号);
    window->setText(Control::编辑框_序号, "00005");
    click(Control::按钮2);
    ASSERT_EQ(jobs.renames.size(), 1u);
    EXPECT_TRUE(jobs.renames[0].byNumber);
    EXPECT_EQ(jobs.renames[0].extension, "exe");
    EXPECT_EQ(jobs.renames[0].prefix, "示例");
    EXPECT_EQ(jobs.renames[0].startNumber, "00005");

    // The job reports from its own thread; the texts arrive through the window's queue.
    std::thread worker([this] {
        jobs.status("正在修改第1个文件名称。");
        jobs::RenameResult kept;
        kept.ordinal = 1;
        kept.outcome = jobs::RenameResult::Outcome::NoMatchingEntry;
        kept.oldPath = kept.currentPath = "/d/a.rar";
        kept.detail = "没有找到";
        jobs.report.renameResult(kept);
        jobs.status("RAR文件名称修改完毕！");
        jobs.report.finished();
    });
    worker.join();
    ASSERT_TRUE(pumpUntil([&] { return !window->presenter().jobRunning(); }));
    EXPECT_EQ(textOf(Control::标签_状态), "RAR文件名称修改完毕！");
    const auto results = window->list(Control::超级列表框_更名).rows();
    EXPECT_EQ(paths(results), (std::vector<std::string>{"/d/a.rar（没有找到）"}));
    EXPECT_EQ(numbers(results), (std::vector<std::string>{"1"}));

    window->setText(Control::编辑框1, "文件1.txt\nb.exe");
    showPage(2);
    jobs.busyFlag = true;
    click(Control::按钮_删除指定文件);
    EXPECT_TRUE(jobs.cleans.empty());
    jobs.busyFlag = false;
    click(Control::按钮_删除指定文件);
    EXPECT_EQ(jobs.cleans, (std::vector<std::string>{"文件1.txt\r\nb.exe"}));
}

TEST_F(WindowTest, TasksFromOtherThreadsRunInOrderOnTheWindowsThread) {
    const std::thread::id windowThread = std::this_thread::get_id();
    std::vector<int> ran;
    bool onWindowThread = true;
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i) {
            window->post([&, i] {
                ran.push_back(i);
                onWindowThread = onWindowThread && std::this_thread::get_id() == windowThread;
            });
        }
        window->postStatus("第一");
        window->postStatus("第二");
    });
    worker.join();
    EXPECT_TRUE(ran.empty());  // nothing runs before the window's thread takes its messages
    ASSERT_TRUE(pumpUntil([&] { return ran.size() == 200; }));
    pump();
    EXPECT_TRUE(onWindowThread);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(ran[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(textOf(Control::标签_状态), "第二");

    // What is still waiting when the window goes, and what comes later, is dropped.
    bool late = false;
    window->post([&] { late = true; });
    ::DestroyWindow(window->hwnd());
    window->post([&] { late = true; });
    pump();
    EXPECT_FALSE(late);
}

TEST_F(WindowTest, ClosingWaitsForTheJobAndNeverRefuses) {
    bool controlsAliveWhileSaving = false;
    window->setText(Control::编辑框_后缀, "exe");
    jobs.onWait = [&] { controlsAliveWhileSaving = ::IsWindow(find(Control::编辑框_后缀)) != FALSE; };
    ::SendMessageW(window->hwnd(), WM_CLOSE, 0, 0);
    pump();
    EXPECT_EQ(window->hwnd(), nullptr);
    EXPECT_GE(jobs.waits, 1);
    EXPECT_TRUE(controlsAliveWhileSaving);
    EXPECT_EQ(settings.load().extension, "exe");
}

TEST_F(WindowTest, TheTextsOfTheFiveBoxesSurviveARestart) {
    window->setText(Control::编辑框_路径, "D:\\资料");
    window->setText(Control::编辑框_后缀, "exe");
    window->setText(Control::编辑框_前缀, "示例");
    window->setText(Control::编辑框_序号, "00005");
    window->setText(Control::编辑框1, "文件1.txt\n文件2.exe\r\n文件3.pdf");
    window.reset();
    EXPECT_EQ(settings.load(), (SettingsValues{"D:\\资料", "exe", "示例", "00005", "文件1.txt\r\n文件2.exe\r\n文件3.pdf"}));

    window = std::make_unique<win32ui::MainWindow>(jobs, settings, dialogs);
    EXPECT_EQ(textOf(Control::编辑框_序号), "00005");
    EXPECT_EQ(textOf(Control::编辑框_前缀), "示例");
    EXPECT_EQ(::SendMessageW(find(Control::编辑框1), EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_TRUE(window->list(Control::超级列表框_文件).rows().empty());
}

}  // namespace
