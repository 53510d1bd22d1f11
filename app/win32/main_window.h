// MainWindow on Win32: a plain top-level window with the controls of the
// window definition, the WebBrowser control and one timer.
#pragma once

#include <windows.h>

#include <string>

#include "app/win32/web_browser.h"
#include "app/window_services.h"

namespace autolabel::app::win32 {

class MainWindow : public app::MainWindowHost {
  public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    void CreateMainWindow(const app::WindowDefinition& definition,
                          const std::string& startAddress) override;
    int RunMessageLoop() override;

    browser_host::WindowHandle BrowserWindowHandle() override;
    void SetTimerPeriod(int milliseconds) override;
    void ReloadBrowser() override;

    HWND Handle() const noexcept { return window_; }
    // The child window made for a control of the definition (null for the timer).
    HWND ControlWindow(std::string_view name) const noexcept;

    // Control identifiers are the definition's order, from here on.
    static constexpr int kFirstControlId = 100;
    static constexpr UINT_PTR kTimerId = 1;

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(const std::string& startAddress);
    void OnCommand(int id, int notification);
    void OnTimer();
    void ReleaseResources();

    HWND window_ = nullptr;
    const app::WindowDefinition* definition_ = nullptr;
    WebBrowser browser_;
    HFONT groupBoxFont_ = nullptr;
    bool oleInitialized_ = false;
};

}  // namespace autolabel::app::win32
