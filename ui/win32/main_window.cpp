#include "ui/win32/main_window.h"

#include <commctrl.h>

#include <stdexcept>

#include "ui/core/settings_file.h"
#include "ui/core/window_texts.h"
#include "ui/win32/control_factory.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_text.h"

namespace win32ui {
namespace {

constexpr wchar_t kClassName[] = L"PimingbaoWindow";
// Clear of IDOK and IDCANCEL, which the dialog keys send for Enter and Esc.
constexpr int kFirstControlId = 100;
constexpr int kTabsId = kFirstControlId - 1;

int idOf(Control c) { return kFirstControlId + static_cast<int>(c); }

HICON loadIcon(HINSTANCE instance, int size) {
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(PIMINGBAO_ICON), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void registerOnce(HINSTANCE instance, WNDPROC proc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, kClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = loadIcon(instance, ::GetSystemMetrics(SM_CXICON));
    wc.hIconSm = loadIcon(instance, ::GetSystemMetrics(SM_CXSMICON));
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc)) throw std::runtime_error("cannot register the main window's class");
}

}  // namespace

MainWindow::MainWindow(JobStarter& jobs, const SettingsFile& settings, FileDialogs& dialogs)
    : dialogs_(dialogs), presenter_(*this, jobs, settings) {
    INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&common);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    registerOnce(instance, windowProc);
    // The outer size is the layout's; the client area is what the frame leaves of it.
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kOuterWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kOuterHeight) / 2;
    ::CreateWindowExW(0, kClassName, wide(texts::kWindowTitle).c_str(), kStyle, left, top, kOuterWidth, kOuterHeight,
                      nullptr, nullptr, instance, this);
    if (!hwnd_) throw std::runtime_error("cannot create the main window (error " + std::to_string(::GetLastError()) + ")");
    createControls();
    tasks_.attach(hwnd_);
    presenter_.onCreated();
}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

void MainWindow::createControls() {
    pages_ = std::make_unique<PageTabs>(hwnd_, kTabsId, tools_);
    controls_[Control::高级选择夹1] = pages_->hwnd();
    names_[pages_->hwnd()] = Control::高级选择夹1;
    for (const ControlSpec& spec : controlLayout()) {
        HWND parent = spec.page == 0 ? hwnd_ : pages_->page(spec.page - 1);
        HWND h = createControl(spec, parent, idOf(spec.control), tools_);
        controls_[spec.control] = h;
        names_[h] = spec.control;
    }
    // The path gives way to "结果", so that every row's outcome is in sight in the fixed
    // window with a vertical scroll bar shown; the info tip holds the rest.
    files_ = ReportList(control(Control::超级列表框_文件), {40, 260, 210});
    // Wider than the list: its rows scroll sideways.
    renames_ = ReportList(control(Control::超级列表框_更名), {40, 800});
}

HWND MainWindow::control(Control c) const {
    auto found = controls_.find(c);
    return found == controls_.end() ? nullptr : found->second;
}

const ReportList& MainWindow::list(Control c) const { return c == Control::超级列表框_更名 ? renames_ : files_; }

ReportList* MainWindow::listFor(Control c) {
    if (c == Control::超级列表框_文件) return &files_;
    if (c == Control::超级列表框_更名) return &renames_;
    return nullptr;
}

void MainWindow::show(int how) {
    ::ShowWindow(hwnd_, how);
    // As a dialog opened with the mouse: focus rectangles and shortcut underlines show once
    // the keyboard is used (the dialog keys clear these flags again).
    ::SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    ::UpdateWindow(hwnd_);
    if (HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
}

bool MainWindow::handleDialogKeys(MSG& message) { return hwnd_ && ::IsDialogMessageW(hwnd_, &message); }

int MainWindow::runMessageLoop() {
    loopRunning_ = true;
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (handleDialogKeys(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    loopRunning_ = false;
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT area;
        ::GetClientRect(hwnd_, &area);
        ::FillRect(reinterpret_cast<HDC>(wParam), &area, tools_.skyBlue());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return colours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        if (lParam) onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<NMHDR*>(lParam));
    case TaskQueue::kMessage:
        tasks_.runArrived();
        return 0;
    case WM_ACTIVATE:
        // Back to the control that had the focus when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hwnd_, focus)) lastFocus_ = focus;
        } else if (lastFocus_ && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_)) {
            ::SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        // Never refused: waits for a running job, then goes.
        presenter_.onClosing();
        ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        presenter_.onDestroyed();
        tasks_.close();
        if (loopRunning_) ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void MainWindow::onCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (static_cast<Control>(id - kFirstControlId)) {
    case Control::按钮_添加: presenter_.onAddClicked(); break;
    case Control::按钮_清空: presenter_.onClearClicked(); break;
    case Control::按钮_删除: presenter_.onRemoveClicked(); break;
    case Control::按钮_浏览: presenter_.onBrowseClicked(); break;
    case Control::单选框_按后缀: presenter_.onByExtensionClicked(); break;
    case Control::单选框_按序号: presenter_.onByNumberClicked(); break;
    case Control::按钮2: presenter_.onRenameClicked(); break;
    case Control::按钮_删除指定文件: presenter_.onCleanClicked(); break;
    default: break;
    }
}

LRESULT MainWindow::onNotify(NMHDR& header) {
    if (header.hwndFrom == pages_->hwnd() && header.code == TCN_SELCHANGE) {
        onPageChanged();
    } else if (header.hwndFrom == files_.hwnd()) {
        switch (header.code) {
        case LVN_ITEMCHANGED:
            if (auto row = files_.rowFocusedBy(reinterpret_cast<const NMLISTVIEW&>(header))) presenter_.onFileRowFocused(*row);
            break;
        case NM_CUSTOMDRAW:
            return files_.customDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
        case LVN_GETINFOTIPW:
            files_.infoTip(reinterpret_cast<NMLVGETINFOTIPW&>(header));
            break;
        default:
            break;
        }
    }
    return 0;
}

void MainWindow::onPageChanged() {
    pages_->showCurrentPage();
    // Keys must not go on reaching a control of a page that is no longer shown.
    HWND focus = ::GetFocus();
    HWND page = pages_->page(pages_->current());
    if (focus && ::IsChild(hwnd_, focus) && !::IsWindowVisible(focus)) {
        HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
        ::SetFocus(first && ::IsChild(page, first) ? first : hwnd_);
    }
}

LRESULT MainWindow::colours(HDC dc, HWND from) {
    auto found = names_.find(from);
    ControlKind kind = ControlKind::Label;
    if (found != names_.end() && found->second != Control::高级选择夹1) kind = specOf(found->second).kind;
    const bool enabled = ::IsWindowEnabled(from) != FALSE;
    COLORREF text = style::kYellow, fill = style::kSkyBlue;
    HBRUSH brush = tools_.skyBlue();
    if (kind == ControlKind::EditBox) {
        text = style::kBlue, fill = style::kYellow, brush = tools_.yellow();
    } else if (kind == ControlKind::MultiLineEdit) {
        text = style::kMagenta, fill = style::kBlue, brush = tools_.blue();
    }
    // A disabled edit box asks as a label does; it keeps its fill and greys its text.
    ::SetTextColor(dc, enabled ? text : style::kGrey);
    ::SetBkColor(dc, fill);
    return reinterpret_cast<LRESULT>(brush);
}

std::string MainWindow::text(Control c) const {
    HWND h = control(c);
    return h ? windowText(h) : std::string();
}

void MainWindow::setText(Control c, const std::string& value) {
    HWND h = control(c);
    if (!h || c == Control::高级选择夹1) return;
    const ControlKind kind = specOf(c).kind;
    const bool lines = kind == ControlKind::MultiLineEdit || kind == ControlKind::Label;
    setWindowText(h, lines ? withCrLf(value) : value);
}

bool MainWindow::isChecked(Control c) const {
    HWND h = control(c);
    return h && ::SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setEnabled(Control c, bool enabled) {
    if (HWND h = control(c)) ::EnableWindow(h, enabled ? TRUE : FALSE);
}

void MainWindow::setRows(Control c, const std::vector<ListRow>& rows) {
    if (ReportList* l = listFor(c)) l->setRows(rows);
}

void MainWindow::appendRows(Control c, const std::vector<ListRow>& rows) {
    if (ReportList* l = listFor(c)) l->appendRows(rows);
}

void MainWindow::updateRows(Control c, std::size_t first, const std::vector<ListRow>& rows) {
    if (ReportList* l = listFor(c)) l->updateRows(first, rows);
}

std::optional<std::size_t> MainWindow::selectedRow(Control c) const {
    if (c != Control::超级列表框_文件 && c != Control::超级列表框_更名) return std::nullopt;
    return list(c).selectedRow();
}

std::vector<std::string> MainWindow::askForFiles(const OpenFilesRequest& request) {
    return dialogs_.askForFiles(hwnd_, request);
}

std::optional<std::string> MainWindow::askForDirectory(const std::string& title, const std::string& startDirectory) {
    return dialogs_.askForDirectory(hwnd_, title, startDirectory);
}

void MainWindow::postStatus(const std::string& value) {
    post([this, value] { setText(Control::标签_状态, value); });
}

void MainWindow::post(std::function<void()> task) { tasks_.post(std::move(task)); }

}  // namespace win32ui
