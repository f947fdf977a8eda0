// The queue that carries work from other threads to the window's thread.
#include "ui/win32/task_queue.h"

#include <thread>

#include "tests/ui_win32/window_fixture.h"

namespace {

struct TaskQueueTest : ::testing::Test {
    HWND target = nullptr;
    void SetUp() override {
        SKIP_WITHOUT_DESKTOP();
        target = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(target, nullptr);
    }
    void TearDown() override {
        if (target) ::DestroyWindow(target);
    }
    // The queue's announcements waiting for `target`, taken out of the thread's queue.
    int announcements() const {
        int count = 0;
        MSG message;
        while (::PeekMessageW(&message, target, win32ui::TaskQueue::kMessage, win32ui::TaskQueue::kMessage, PM_REMOVE)) ++count;
        return count;
    }
};

TEST_F(TaskQueueTest, OneMessageAnnouncesWhatArrivedInTheMeantime) {
    win32ui::TaskQueue queue;
    std::vector<int> ran;
    queue.post([&] { ran.push_back(0); });  // before the window is known: waits
    EXPECT_EQ(announcements(), 0);
    queue.attach(target);
    std::thread worker([&] {
        for (int i = 1; i <= 3; ++i) queue.post([&, i] { ran.push_back(i); });
    });
    worker.join();
    EXPECT_EQ(announcements(), 1);
    // A task that posts another leaves it for the next message, so input can come between.
    queue.post([&] { queue.post([&] { ran.push_back(5); }); ran.push_back(4); });
    queue.runArrived();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(announcements(), 1);
    queue.runArrived();
    EXPECT_EQ(ran.back(), 5);
}

TEST_F(TaskQueueTest, ClosingDropsWaitingAndLaterTasks) {
    win32ui::TaskQueue queue;
    queue.attach(target);
    bool ran = false;
    queue.post([&] { ran = true; });
    queue.close();
    queue.post([&] { ran = true; });
    queue.runArrived();
    EXPECT_FALSE(ran);
    EXPECT_EQ(announcements(), 1);  // only the one from before the close
}

}  // namespace
