#include "ui/win32/task_queue.h"

namespace win32ui {

void TaskQueue::attach(HWND window) {
    std::lock_guard lock(mutex_);
    window_ = window;
    if (!tasks_.empty() && !announced_) announced_ = ::PostMessageW(window_, kMessage, 0, 0) != FALSE;
}

void TaskQueue::post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    tasks_.push_back(std::move(task));
    if (window_ && !announced_) announced_ = ::PostMessageW(window_, kMessage, 0, 0) != FALSE;
}

void TaskQueue::runArrived() {
    std::deque<std::function<void()>> arrived;
    {
        std::lock_guard lock(mutex_);
        announced_ = false;
        arrived.swap(tasks_);
    }
    // Tasks these tasks post wait for the next message.
    for (auto& task : arrived) {
        {
            std::lock_guard lock(mutex_);
            if (closed_) return;
        }
        task();
    }
}

void TaskQueue::close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    window_ = nullptr;
    tasks_.clear();
}

}  // namespace win32ui
