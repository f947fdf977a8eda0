#include "tests/ui_win32/window_fixture.h"


#include "ui/win32/window_text.h"

bool desktopAvailable() {
    static const bool available = [] {
        HWND probe = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                       ::GetModuleHandleW(nullptr), nullptr);
        if (!probe) return false;
        ::DestroyWindow(probe);
        return true;
    }();
    return available;
}

void WindowTest::pump() const {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (window && window->handleDialogKeys(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

bool WindowTest::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) const {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        pump();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void WindowTest::click(Control c) const {
    ::SendMessageW(find(c), BM_CLICK, 0, 0);
    pump();
}

void WindowTest::type(Control c, std::wstring_view text, UINT message) const {
    for (wchar_t ch : text) ::SendMessageW(find(c), message, ch, 1);
    pump();
}

void WindowTest::showPage(int index) const {
    window->pages().select(index);
    pump();
}

std::string WindowTest::textOf(Control c) const { return win32ui::windowText(find(c)); }

std::vector<std::string> paths(const std::vector<ListRow>& rows) {
    std::vector<std::string> out;
    for (const ListRow& r : rows) out.push_back(r.path);
    return out;
}

std::vector<std::string> numbers(const std::vector<ListRow>& rows) {
    std::vector<std::string> out;
    for (const ListRow& r : rows) out.push_back(r.number);
    return out;
}
