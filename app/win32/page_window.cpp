#include "app/win32/page_window.h"

#include <utility>

namespace autolabel::app::win32 {

namespace {

constexpr wchar_t kWindowClass[] = L"AutolabelPageWindow";

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = nullptr;  // the control covers the whole client area
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass);  // a second window finds it registered
}

}  // namespace

std::unique_ptr<PageWindow> PageWindow::Create(const std::wstring& title,
                                               std::function<ComPtr<IDispatch>()> openNewWindow,
                                               ClosedHandler onClosed) {
    RegisterWindowClass(&PageWindow::WindowProc);
    std::unique_ptr<PageWindow> self(new PageWindow());
    ::CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      CW_USEDEFAULT, CW_USEDEFAULT, 1024, 768, nullptr, nullptr,
                      ::GetModuleHandleW(nullptr), self.get());
    if (!self->window_) return nullptr;
    HWND window = self->window_;
    WebBrowser::Callbacks callbacks;
    callbacks.openNewWindow = std::move(openNewWindow);
    // Posted: the control is in the middle of its own event when it asks.
    callbacks.closeWindow = [window] { ::PostMessageW(window, WM_CLOSE, 0, 0); };
    if (!self->browser_.Create(window, self->ClientBounds(), L"", std::move(callbacks))) {
        ::DestroyWindow(window);
        return nullptr;
    }
    self->onClosed_ = std::move(onClosed);
    ::ShowWindow(window, SW_SHOW);
    return self;
}

PageWindow::~PageWindow() {
    onClosed_ = nullptr;  // destroyed by its owner: nobody to tell
    if (window_) ::DestroyWindow(window_);
}

RECT PageWindow::ClientBounds() const {
    RECT bounds{};
    ::GetClientRect(window_, &bounds);
    return bounds;
}

LRESULT CALLBACK PageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<PageWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PageWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
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
            // Last: the handler may destroy this object.
            if (ClosedHandler closed = std::move(onClosed_)) closed(*this);
            return ::DefWindowProcW(window, message, wParam, lParam);
        }
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace autolabel::app::win32
