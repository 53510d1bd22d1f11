// A window of the tool's own for a page that opens a new window: another
// instance of the control in a plain resizable top-level window, in the
// same session (cookies, login) as the main window's.
#pragma once

#include <windows.h>

#include <memory>

#include "app/win32/focus_keeper.h"
#include "app/win32/web_browser.h"
#include "support/win32/window_class.h"

namespace autolabel::app::win32 {

class PageWindow final : private app::Browser::Delegate {
  public:
    // What a page's window asks of the window that keeps it.
    class Owner {
      public:
        // A window for a page that this one's page opens in turn: its
        // browser, or null to refuse it.
        virtual app::Browser* OpenPageWindow() = 0;
        // The window is gone (from its last message): the owner may
        // destroy the PageWindow here.
        virtual void PageWindowClosed(PageWindow& window) = 0;

      protected:
        ~Owner() = default;
    };

    // Opens at an ordinary browser's size until the page asks for one; its
    // title is the page's.
    static std::unique_ptr<PageWindow> Create(Owner& owner);
    PageWindow(const PageWindow&) = delete;
    PageWindow& operator=(const PageWindow&) = delete;
    ~PageWindow();

    HWND Handle() const noexcept { return window_; }
    WebBrowser& Browser() noexcept { return browser_; }

  private:
    explicit PageWindow(Owner& owner) : browser_(*this), owner_(&owner) {}
    app::Browser* OpenNewWindow(app::Browser& opener) override;
    void CloseWindow(app::Browser& browser) override;
    void ReloadRequested(app::Browser& browser) override;
    void ReadinessChanged(app::Browser& browser, bool ready) override;
    void TitleChanged(app::Browser& browser, const std::string& title) override;
    void WindowSizeRequested(app::Browser& browser, int width, int height) override;
    friend LRESULT CALLBACK support::win32::ObjectWindowProc<PageWindow>(HWND, UINT, WPARAM,
                                                                         LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    RECT ClientBounds() const;
    // The window's outer size for the page's size (PageWindowSizeFor).
    SIZE WindowSizeFor(int requestedWidth, int requestedHeight) const;

    HWND window_ = nullptr;
    WebBrowser browser_;
    FocusKeeper focus_;
    int dpi_ = 96;
    Owner* owner_;  // null once there is nobody to tell of the window's end
};

}  // namespace autolabel::app::win32
