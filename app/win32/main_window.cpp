#include "app/win32/main_window.h"

#include <commctrl.h>

#include <utility>

#include "app/commands.h"
#include "page/browser_host/win32/utf16.h"
#include "page/browser_host/win32/window_handle.h"

namespace autolabel::app::win32 {

using browser_host::win32::FromHwnd;
using browser_host::win32::Utf8ToWide;

using app::ControlDefinition;
using app::ControlEvent;
using app::ControlKind;

namespace {

constexpr wchar_t kWindowClass[] = L"AutolabelMainWindow";
// A fixed frame: the layout does not follow a resize. No WS_CLIPCHILDREN:
// a group box paints only its frame and caption, and the window's own
// background must show inside it.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);  // a second window finds it registered
}

HFONT CreateDefinedFont(const app::FontDefinition& font) {
    return ::CreateFontW(font.height, 0, 0, 0, font.weight, font.italic, font.underline,
                         font.strikeOut, static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                         Utf8ToWide(font.face).c_str());
}

}  // namespace

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
    ReleaseResources();
    if (oleInitialized_) ::OleUninitialize();
}

void MainWindow::CreateMainWindow(const app::WindowDefinition& definition,
                                  const std::string& startAddress) {
    definition_ = &definition;
    // In-place activation of the browser needs OLE on this thread, on top of
    // the COM apartment that the page automation object opened.
    if (!oleInitialized_) oleInitialized_ = SUCCEEDED(::OleInitialize(nullptr));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterWindowClass(&MainWindow::WindowProc);

    window_ =
        ::CreateWindowExW(0, kWindowClass, Utf8ToWide(definition.title).c_str(), kWindowStyle,
                          definition.left, definition.top, definition.width, definition.height,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!window_) return;
    CreateControls(startAddress);
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
    if (definition.event == ControlEvent::Created) app::RunRoutine(definition.routine);
}

void MainWindow::CreateControls(const std::string& startAddress) {
    // Children take their Z order from the order of creation, the first on
    // top: the buttons come before the group boxes in the definition, so the
    // frames lie under them, and WS_CLIPSIBLINGS keeps a frame from painting
    // over a button.
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int id = kFirstControlId;
    for (const ControlDefinition& control : definition_->controls) {
        const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++));
        const std::wstring caption = Utf8ToWide(control.caption);
        switch (control.kind) {
            case ControlKind::PushButton:
                ::CreateWindowExW(
                    0, WC_BUTTONW, caption.c_str(),
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON,
                    control.left, control.top, control.width, control.height, window_, menu,
                    instance, nullptr);
                break;
            case ControlKind::RadioGroupBox: {
                HWND box = ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(),
                                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX,
                                             control.left, control.top, control.width,
                                             control.height, window_, menu, instance, nullptr);
                if (control.font) {
                    if (!groupBoxFont_) groupBoxFont_ = CreateDefinedFont(*control.font);
                    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(groupBoxFont_), FALSE);
                }
                break;
            }
            case ControlKind::WebBrowser: {
                const RECT bounds{control.left, control.top, control.left + control.width,
                                  control.top + control.height};
                browser_.Create(window_, bounds, Utf8ToWide(startAddress));
                break;
            }
            case ControlKind::Timer:
                break;  // no window; started by SetTimerPeriod
        }
    }
}

int MainWindow::RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (browser_.TranslateAccelerator(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

browser_host::WindowHandle MainWindow::BrowserWindowHandle() { return FromHwnd(browser_.Window()); }

void MainWindow::SetTimerPeriod(int milliseconds) {
    if (!window_) return;
    if (milliseconds > 0)
        ::SetTimer(window_, kTimerId, static_cast<UINT>(milliseconds), nullptr);
    else
        ::KillTimer(window_, kTimerId);
}

void MainWindow::ReloadBrowser() { browser_.Reload(); }

HWND MainWindow::ControlWindow(std::string_view name) const noexcept {
    if (!definition_ || !window_) return nullptr;
    int id = kFirstControlId;
    for (const ControlDefinition& control : definition_->controls) {
        if (control.name == name) {
            if (control.kind == ControlKind::WebBrowser) return browser_.Window();
            return ::GetDlgItem(window_, id);
        }
        ++id;
    }
    return nullptr;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kTimerId) OnTimer();
            return 0;
        case WM_DESTROY:
            ::KillTimer(window_, kTimerId);
            browser_.Destroy();
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY: {
            HWND window = std::exchange(window_, nullptr);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            ReleaseResources();
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
        default:
            return ::DefWindowProcW(window_, message, wParam, lParam);
    }
}

void MainWindow::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED || !definition_) return;
    const auto index = static_cast<size_t>(id - kFirstControlId);
    if (id < kFirstControlId || index >= definition_->controls.size()) return;
    const ControlDefinition& control = definition_->controls[index];
    if (control.event == ControlEvent::Click) app::RunRoutine(control.routine);
}

void MainWindow::OnTimer() {
    if (!definition_) return;
    for (const ControlDefinition& control : definition_->controls)
        if (control.kind == ControlKind::Timer && control.event == ControlEvent::Tick)
            app::RunRoutine(control.routine);
}

void MainWindow::ReleaseResources() {
    if (groupBoxFont_) ::DeleteObject(std::exchange(groupBoxFont_, nullptr));
}

}  // namespace autolabel::app::win32
