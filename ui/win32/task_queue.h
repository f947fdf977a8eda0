#pragma once
// Work handed to the window's thread from any thread. Tasks wait here, in the order
// posted; one private message at a time tells the window to run what has arrived, so a
// busy job cannot fill the thread's message queue, and input that arrives meanwhile is
// handled between two batches. Once the window is gone, waiting and later tasks are dropped.
#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

namespace win32ui {

class TaskQueue {
public:
    static constexpr UINT kMessage = WM_APP + 1;

    // From now on tasks are announced to this window.
    void attach(HWND window);
    void post(std::function<void()> task);
    // On the window's thread, for kMessage: runs the tasks that had arrived by then.
    void runArrived();
    // The window is going: drops every task, now and later.
    void close();

private:
    std::mutex mutex_;
    HWND window_ = nullptr;
    bool announced_ = false;
    bool closed_ = false;
    std::deque<std::function<void()>> tasks_;
};

}  // namespace win32ui
