#include "app/win32/main_window.h"

#include <commctrl.h>
#include <urlmon.h>

#include <algorithm>
#include <utility>

#include "app/commands.h"
#include "app/labeling_run.h"
#include "app/win32/placement.h"
#include "app/win32/system_dpi.h"
#include "page/browser_host/win32/window_handle.h"
#include "support/win32/utf16.h"

namespace autolabel::app::win32 {

using namespace support::win32;

using namespace browser_host::win32;

using app::ControlDefinition;
using app::ControlEvent;
using app::ControlKind;

namespace {

constexpr wchar_t kWindowClass[] = L"AutolabelMainWindow";
// A fixed frame: the layout does not follow a resize. No WS_CLIPCHILDREN:
// a group box paints only its frame and caption, and the window's own
// background must show inside it; the background skips the browser instead.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Tab and the arrow keys move among the buttons (IsDialogMessage); keys in
// the browser go to its control, and Tab between it and the buttons is
// passed on by PreTranslate.
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr int kBackgroundColor = COLOR_BTNFACE;

// The definition's height is in pixels at 96 DPI, like its geometry.
UniqueFont CreateDefinedFont(const app::FontDefinition& font, int dpi) {
    return UniqueFont(::CreateFontW(
        ScaleToDpi(font.height, dpi), 0, 0, 0, font.weight, font.italic, font.underline,
        font.strikeOut, static_cast<DWORD>(font.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Utf8ToWide(font.face).c_str()));
}

// The platform's default font for controls: the message font of the
// system's metrics, which follows the user's settings and language.
UniqueFont CreateMessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
    return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

// How far this frame's borders and caption reach beyond the client area, as
// the system draws them at its DPI (more on Windows 10 and 11 than the
// definition's outer size allows for): the client area holds every control.
RECT FrameOfWindow() {
    RECT frame{0, 0, 0, 0};
    if (!::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle)) return RECT{};
    return RECT{-frame.left, -frame.top, frame.right, frame.bottom};
}

}  // namespace

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
    ReleaseResources();
}

namespace {

// The control clicks at every navigation, every submit and reload, every
// 3000 ms in the automatic mode: quiet for this process only, no registry.
void SilenceNavigationSounds() {
    ::CoInternetSetFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS, TRUE);
}

}  // namespace

void MainWindow::CreateMainWindow(const app::WindowDefinition& definition,
                                  const std::string& startAddress) {
    definition_ = &definition;
    // In-place activation of the browser needs OLE on this thread, which
    // the program opened before anything else (RunWindowsProgram).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    RegisterObjectWindowClass(kWindowClass, &ObjectWindowProc<MainWindow>,
                              reinterpret_cast<HBRUSH>(kBackgroundColor + 1));
    SilenceNavigationSounds();

    // System-DPI aware (the manifest): sharp text, the layout scaled here.
    dpi_ = SystemDpi();
    const RECT frame = FrameOfWindow();
    layout_ = LayOutMainWindow(definition, dpi_, frame,
                               WorkArea(DefinedWindowRect(definition, dpi_, frame)));
    const RECT& placed = layout_.window;
    window_ = ::CreateWindowExW(kWindowExStyle, kWindowClass, Utf8ToWide(definition.title).c_str(),
                                kWindowStyle, placed.left, placed.top, placed.right - placed.left,
                                placed.bottom - placed.top, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (!window_) return;
    preTranslation_ = browser_host::win32::RegisterMessagePreTranslator(*this);
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
    buttonFont_ = CreateMessageFont();
    // The stock GUI font, where the metrics cannot be read, is not ours to delete.
    const HFONT buttonFont =
        buttonFont_ ? buttonFont_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (size_t index = 0; index < definition_->controls.size(); ++index) {
        const ControlDefinition& control = definition_->controls[index];
        const RECT& bounds = layout_.controls[index];
        const int left = bounds.left, top = bounds.top, width = bounds.right - bounds.left,
                  height = bounds.bottom - bounds.top;
        const auto menu = reinterpret_cast<HMENU>(
            static_cast<INT_PTR>(kFirstControlId + static_cast<int>(index)));
        const std::wstring caption = Utf8ToWide(control.caption);
        switch (control.kind) {
            case ControlKind::PushButton: {
                HWND button = ::CreateWindowExW(
                    0, WC_BUTTONW, caption.c_str(),
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON, left, top,
                    width, height, window_, menu, instance, nullptr);
                ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), FALSE);
                break;
            }
            case ControlKind::RadioGroupBox: {
                HWND box =
                    ::CreateWindowExW(0, WC_BUTTONW, caption.c_str(),
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, left,
                                      top, width, height, window_, menu, instance, nullptr);
                if (control.font) {
                    if (!groupBoxFont_) groupBoxFont_ = CreateDefinedFont(*control.font, dpi_);
                    ::SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(groupBoxFont_.Get()),
                                   FALSE);
                }
                break;
            }
            case ControlKind::WebBrowser:
                browser_.Create(window_, bounds, Utf8ToWide(startAddress));
                break;
            case ControlKind::Timer:
                break;  // no window; started by SetTimerPeriod
        }
    }
    ArrangeTabOrder();
    // Above the browser, out of the tab order.
    for (size_t index = 0; index < definition_->controls.size(); ++index)
        if (definition_->controls[index].kind == ControlKind::WebBrowser)
            state_.Create(window_, browser_.Window(), layout_.controls[index], buttonFont);
    ::SetTimer(window_, kStateTimerId, kStateRefreshMs, nullptr);
}

void MainWindow::RefreshState() {
    state_.Show(app::labeling.StateLine(browser_.Hold()));
    POINT pointer{};
    if (::GetCursorPos(&pointer)) state_.AvoidPointer(pointer);
}

void MainWindow::ArrangeTabOrder() {
    // The tab order is the Z order: the browser, the buttons from left to
    // right, then the frames, which stay under the buttons they hold.
    std::vector<std::pair<int, HWND>> buttons;
    std::vector<HWND> order{browser_.Window()};
    std::vector<HWND> frames;
    int id = kFirstControlId;
    for (const ControlDefinition& control : definition_->controls) {
        HWND child = ::GetDlgItem(window_, id++);
        if (control.kind == ControlKind::PushButton && child)
            buttons.emplace_back(control.left, child);
        else if (control.kind == ControlKind::RadioGroupBox && child)
            frames.push_back(child);
    }
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    buttons_.clear();
    for (const auto& button : buttons) {
        order.push_back(button.second);
        buttons_.push_back(button.second);
    }
    order.insert(order.end(), frames.begin(), frames.end());
    HWND after = HWND_TOP;
    for (HWND child : order) {
        if (!child) continue;
        ::SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

int MainWindow::RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) browser_host::win32::DeliverMessage(message);
    return static_cast<int>(message.wParam);
}

RECT MainWindow::WorkArea(const RECT& window) const { return WorkAreaFor(window); }

browser_host::WindowHandle MainWindow::BrowserWindowHandle() { return FromHwnd(browser_.Window()); }

void MainWindow::SetTimerPeriod(int milliseconds) {
    if (!window_) return;
    timerPeriod_ = milliseconds > 0 ? milliseconds : 0;
    if (timerPeriod_ > 0)
        ::SetTimer(window_, kTimerId, static_cast<UINT>(timerPeriod_), nullptr);
    else
        ::KillTimer(window_, kTimerId);
}

void MainWindow::ReloadBrowser() { browser_.Reload(); }

// Why the browser holds the page: a page on its way (the old one is still
// shown, already sent), a dialog of the page's, a menu's loop.
app::PageHold MainWindow::PageHoldNow() { return browser_.Hold(); }

app::ShownDocument MainWindow::Document() { return browser_.Shown(); }

void MainWindow::PagePressed() { browser_.Pressed(); }

namespace {

bool IsTabDown(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_TAB &&
           !(::GetKeyState(VK_CONTROL) & 0x8000) && !(::GetKeyState(VK_MENU) & 0x8000);
}

bool ShiftHeld() { return (::GetKeyState(VK_SHIFT) & 0x8000) != 0; }

}  // namespace

bool MainWindow::PreTranslate(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST || !window_) return false;
    if (browser_.Contains(message.hwnd)) {
        if (browser_.TranslateAccelerator(message)) return true;
        // The control did not use Tab at an end of the page's own order:
        // on to the first button (Shift+Tab: the last).
        if (IsTabDown(message) && FocusButtonAtEnd(!ShiftHeld())) return true;
        return false;  // the page keeps its other keys
    }
    // A key in a window the page opened goes to that window's control
    // alone. Found first and called after: the call may open a window.
    if (WebBrowser* page = PageBrowserFor(message.hwnd)) return page->TranslateAccelerator(message);
    if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) return false;
    // Tab from the last button (Shift+Tab from the first) enters the page.
    if (IsTabDown(message) && !buttons_.empty() &&
        message.hwnd == (ShiftHeld() ? buttons_.front() : buttons_.back()) &&
        browser_.TakeFocus(message))
        return true;
    // Enter presses the focused button. Dialog handling would send IDOK to a
    // window that is no dialog and has no default button.
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        (::SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0) &
         (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        ::SendMessageW(message.hwnd, BM_CLICK, 0, 0);
        return true;
    }
    // Tab and the arrow keys among the buttons, Space presses one.
    return ::IsDialogMessageW(window_, &message) != FALSE;
}

bool MainWindow::FocusButtonAtEnd(bool first) {
    if (buttons_.empty()) return false;
    ::SetFocus(first ? buttons_.front() : buttons_.back());
    // Reached by the keyboard: the focus is shown, as IsDialogMessage shows it.
    ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

WebBrowser* MainWindow::PageBrowserFor(HWND window) const {
    for (const auto& page : pageWindows_)
        if (page->Browser().Contains(window)) return &page->Browser();
    return nullptr;
}

// Every window of the page's, and the windows their pages open in turn.
app::Browser* MainWindow::OpenPageWindow() {
    auto page = PageWindow::Create(*this);
    // Without a control the page window goes again with `page`.
    if (!page || !page->Browser().Application()) return nullptr;
    pageWindows_.push_back(std::move(page));
    return &pageWindows_.back()->Browser();
}

void MainWindow::PageWindowClosed(PageWindow& closed) {
    std::erase_if(pageWindows_, [&](const auto& page) { return page.get() == &closed; });
}

app::Browser* MainWindow::OpenNewWindow(app::Browser&) { return OpenPageWindow(); }

// The main window stays when its page calls window.close().
void MainWindow::CloseWindow(app::Browser&) {}

// F5, Ctrl+R and the page's menu reload as 刷新 does.
void MainWindow::ReloadRequested(app::Browser&) { app::RunRoutine(app::Routine::RefreshPage); }

// While the page holds the commands (a sent form waits for its answer, the
// control shows a dialog), the pointer over the buttons and frames is the
// busy one that still takes clicks; the page shows its own.
bool MainWindow::SetBusyCursor(HWND over, UINT hit) {
    if (hit != HTCLIENT || !over || browser_.Contains(over) || browser_.IsPageReady()) return false;
    ::SetCursor(::LoadCursorA(nullptr, IDC_APPSTARTING));
    return true;
}

// The pointer changes now, not at its next move.
void MainWindow::ReadinessChanged(app::Browser&, bool) {
    RefreshState();
    POINT pointer{};
    if (!window_ || !::GetCursorPos(&pointer)) return;
    HWND over = ::WindowFromPoint(pointer);
    if (over != window_ && !::IsChild(window_, over)) return;
    ::SendMessageW(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

std::vector<PageWindow*> MainWindow::PageWindows() const {
    std::vector<PageWindow*> windows;
    for (const auto& page : pageWindows_) windows.push_back(page.get());
    return windows;
}

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

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_TIMER:
            // KillTimer leaves a tick already posted in the queue: with the
            // automatic mode off it does nothing.
            if (wParam == kTimerId && timerPeriod_ > 0) OnTimer();
            if (wParam == kStateTimerId) RefreshState();
            return 0;
        case WM_CTLCOLORSTATIC:
            if (HBRUSH colors =
                    state_.Colors(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(colors);
            return ::DefWindowProcW(window_, message, wParam, lParam);
        case WM_SETCURSOR:
            if (SetBusyCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            return ::DefWindowProcW(window_, message, wParam, lParam);
        case WM_ERASEBKGND:
            EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_ACTIVATE:
            if (focus_.OnActivate(window_, wParam, browser_)) return 0;
            return ::DefWindowProcW(window_, message, wParam, lParam);
        case WM_DESTROY:
            timerPeriod_ = 0;
            ::KillTimer(window_, kTimerId);
            ::KillTimer(window_, kStateTimerId);
            pageWindows_.clear();  // the page's windows go with the tool's
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
    RefreshState();
}

void MainWindow::OnTimer() {
    if (!definition_) return;
    for (const ControlDefinition& control : definition_->controls)
        if (control.kind == ControlKind::Timer && control.event == ControlEvent::Tick)
            app::RunRoutine(control.routine);
    RefreshState();
}

void MainWindow::EraseBackground(HDC dc) {
    RECT client;
    ::GetClientRect(window_, &client);
    const int saved = ::SaveDC(dc);
    // The browser draws its own area; painting under it would flash over the page.
    if (HWND browser = browser_.Window(); browser && ::IsWindowVisible(browser)) {
        RECT bounds;
        ::GetWindowRect(browser, &bounds);
        ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
        ::ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    ::FillRect(dc, &client, ::GetSysColorBrush(kBackgroundColor));
    ::RestoreDC(dc, saved);
}

void MainWindow::ReleaseResources() {
    preTranslation_.Reset();
    groupBoxFont_.Reset();
    buttonFont_.Reset();
}

}  // namespace autolabel::app::win32
