#include "app/win32/page_window.h"

#include <utility>

namespace autolabel::app::win32 {

using namespace support::win32;

namespace {

constexpr wchar_t kWindowClass[] = L"AutolabelPageWindow";

}  // namespace

std::unique_ptr<PageWindow> PageWindow::Create(const std::wstring& title, Owner& owner) {
    RegisterObjectWindowClass(kWindowClass, &ObjectWindowProc<PageWindow>, nullptr);
    std::unique_ptr<PageWindow> self(new PageWindow(owner));
    ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, 1024, 768, nullptr, nullptr,
                      ::GetModuleHandleW(nullptr), self.get());
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
