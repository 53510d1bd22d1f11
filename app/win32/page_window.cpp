#include "app/win32/page_window.h"

#include <utility>

#include "app/win32/system_dpi.h"
#include "app/win32/window_layout.h"
#include "support/win32/utf16.h"

namespace autolabel::app::win32 {

using namespace support::win32;

namespace {

constexpr wchar_t kWindowClass[] = L"AutolabelPageWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

}  // namespace

std::unique_ptr<PageWindow> PageWindow::Create(Owner& owner) {
    RegisterObjectWindowClass(kWindowClass, &ObjectWindowProc<PageWindow>, nullptr);
    std::unique_ptr<PageWindow> self(new PageWindow(owner));
    // The page's pixels are scaled to the system's DPI (the site asks the
    // control to), and so is the window they are asked in.
    self->dpi_ = SystemDpi();
    const SIZE size = self->WindowSizeFor(0, 0);
    ::CreateWindowExW(0, kWindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                      size.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), self.get());
    if (!self->window_) return nullptr;
    if (!self->browser_.Create(self->window_, self->ClientBounds(), L"")) return nullptr;
    ::ShowWindow(self->window_, SW_SHOW);
    return self;
}

app::Browser* PageWindow::OpenNewWindow(app::Browser&) {
    return owner_ ? owner_->OpenPageWindow() : nullptr;
}

// Posted: the control is in the middle of its own event when it asks.
void PageWindow::CloseWindow(app::Browser&) {
    if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
}

// F5, Ctrl+R and the page's menu: the reload that never sends a form
// again; the tool's commands are not run for a page's window.
void PageWindow::ReloadRequested(app::Browser& browser) { browser.Reload(); }

// The window holds the control alone, which shows its own pointer.
void PageWindow::ReadinessChanged(app::Browser&, bool) {}

void PageWindow::TitleChanged(app::Browser&, const std::string& title) {
    if (window_) ::SetWindowTextW(window_, Utf8ToWide(title).c_str());
}

// The page's wish where it is sensible (window.open's width and height are
// the page's area), else an ordinary browser's size.
void PageWindow::WindowSizeRequested(app::Browser&, int width, int height) {
    if (!window_) return;
    const SIZE size = WindowSizeFor(width, height);
    ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE PageWindow::WindowSizeFor(int requestedWidth, int requestedHeight) const {
    const app::PageWindowSize page = app::PageWindowSizeFor(requestedWidth, requestedHeight);
    RECT bounds{0, 0, ScaleToDpi(page.width, dpi_), ScaleToDpi(page.height, dpi_)};
    ::AdjustWindowRectEx(&bounds, kWindowStyle, FALSE, 0);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

PageWindow::~PageWindow() {
    owner_ = nullptr;  // destroyed by its owner: nobody to tell
    if (window_) ::DestroyWindow(window_);
}

RECT PageWindow::ClientBounds() const {
    RECT bounds{};
    ::GetClientRect(window_, &bounds);
    return bounds;
}

LRESULT PageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) browser_.SetBounds(ClientBounds());
            return 0;
        case WM_ACTIVATE:
            if (focus_.OnActivate(window_, wParam, browser_)) return 0;
            break;
        case WM_DESTROY:
            browser_.Destroy();
            return 0;
        case WM_NCDESTROY: {
            HWND window = std::exchange(window_, nullptr);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            // Last: the owner may destroy this object.
            if (Owner* owner = std::exchange(owner_, nullptr)) owner->PageWindowClosed(*this);
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace autolabel::app::win32
