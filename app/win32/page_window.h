// A window of the tool's own for a page that opens a new window: another
// instance of the control in a plain resizable top-level window, in the
// same session (cookies, login) as the main window's.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "app/win32/focus_keeper.h"
#include "app/win32/web_browser.h"
#include "support/win32/window_class.h"

namespace autolabel::app::win32 {

class PageWindow final : private app::Browser::Delegate {
  public:
    // `onClosed` runs once the window is gone, from its last message; the
    // owner may destroy the PageWindow there.
    using ClosedHandler = std::function<void(PageWindow&)>;
    // `openNewWindow` serves the new windows this page asks for in turn.
    static std::unique_ptr<PageWindow> Create(const std::wstring& title,
                                              std::function<app::Browser*()> openNewWindow,
                                              ClosedHandler onClosed);
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow();

    HWND Handle() const noexcept { return window_; }
    WebBrowser& Browser() noexcept { return browser_; }

  private:
    PageWindow() : browser_(*this) {}
    app::Browser* OpenNewWindow(app::Browser& opener) override;
    void CloseWindow(app::Browser& browser) override;
    void ReloadRequested(app::Browser& browser) override;
    void ReadinessChanged(app::Browser& browser, bool ready) override;
    friend LRESULT CALLBACK support::win32::ObjectWindowProc<PageWindow>(HWND, UINT, WPARAM,
                                                                         LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    RECT ClientBounds() const;

    HWND window_ = nullptr;
    WebBrowser browser_;
    FocusKeeper focus_;
    ClosedHandler onClosed_;
    std::function<app::Browser*()> openNewWindow_;
};

}  // namespace autolabel::app::win32
