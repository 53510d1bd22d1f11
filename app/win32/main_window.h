// MainWindow on Win32: a plain top-level window with the controls of the
// window definition, the WebBrowser control and one timer.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/focus_keeper.h"
#include "app/win32/page_window.h"
#include "app/win32/state_bubble.h"
#include "app/win32/web_browser.h"
#include "app/win32/window_layout.h"
#include "app/window_services.h"
#include "page/browser_host/win32/message_delivery.h"
#include "support/win32/unique_gdi_object.h"
#include "support/win32/window_class.h"

namespace autolabel::app::win32 {

class MainWindow : public app::ProgramWindow,
                   private browser_host::win32::MessagePreTranslator,
                   private app::Browser::Delegate,
                   private PageWindow::Owner {
  public:
    MainWindow() : browser_(static_cast<app::Browser::Delegate&>(*this)) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    void CreateMainWindow(const app::WindowDefinition& definition,
                          const std::string& startAddress) override;
    int RunMessageLoop() override;

    browser_host::WindowHandle BrowserWindowHandle() override;
    void SetTimerPeriod(int milliseconds) override;
    void ReloadBrowser() override;
    app::PageHold PageHoldNow() override;
    app::ShownDocument Document() override;
    void PagePressed() override;

    HWND Handle() const noexcept { return window_; }
    // The child window made for a control of the definition (null for the timer).
    HWND ControlWindow(std::string_view name) const noexcept;
    WebBrowser& Browser() noexcept { return browser_; }
    // The state line over the browser: its window, and what it shows now
    // (empty while hidden).
    HWND StateWindow() const noexcept { return state_.Window(); }
    std::wstring StateText() const { return state_.Text(); }
    // The windows the page has opened, still open.
    std::vector<PageWindow*> PageWindows() const;

    // Where the window and its controls were put, at the system's DPI.
    const WindowLayout& Layout() const noexcept { return layout_; }
    int Dpi() const noexcept { return dpi_; }

    // Control identifiers are the definition's order, from here on.
    static constexpr int kFirstControlId = 100;
    static constexpr UINT_PTR kTimerId = 1;
    // The state line follows the run and the page as they change.
    static constexpr UINT_PTR kStateTimerId = 2;
    static constexpr UINT kStateRefreshMs = 500;

  protected:
    // The work area of the monitor that `window` (screen coordinates) opens on.
    virtual RECT WorkArea(const RECT& window) const;

  private:
    friend LRESULT CALLBACK support::win32::ObjectWindowProc<MainWindow>(HWND, UINT, WPARAM,
                                                                         LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(const std::string& startAddress);
    void RefreshState();
    void ArrangeTabOrder();
    void OnCommand(int id, int notification);
    void OnTimer();
    void EraseBackground(HDC dc);
    // WM_SETCURSOR for `over`, the window under the pointer: true when set.
    bool SetBusyCursor(HWND over, UINT hit);
    bool PreTranslate(MSG& message) override;
    // The focus on the first button of the tab order, or the last.
    bool FocusButtonAtEnd(bool first);
    // The control of the page's window that `window` is in, if any.
    WebBrowser* PageBrowserFor(HWND window) const;
    app::Browser* OpenPageWindow() override;
    void PageWindowClosed(PageWindow& window) override;
    app::Browser* OpenNewWindow(app::Browser& opener) override;
    void CloseWindow(app::Browser& browser) override;
    void ReloadRequested(app::Browser& browser) override;
    void ReadinessChanged(app::Browser& browser, bool ready) override;
    void ReleaseResources();

    HWND window_ = nullptr;
    const app::WindowDefinition* definition_ = nullptr;
    WebBrowser browser_;
    std::vector<std::unique_ptr<PageWindow>> pageWindows_;
    FocusKeeper focus_;
    int dpi_ = 96;
    WindowLayout layout_;
    std::vector<HWND> buttons_;  // in tab order
    support::win32::UniqueFont groupBoxFont_;
    support::win32::UniqueFont buttonFont_;
    StateBubble state_;
    int timerPeriod_ = 0;  // as last set; 0: the timer is stopped
    browser_host::win32::PreTranslatorRegistration preTranslation_;
};

}  // namespace autolabel::app::win32
