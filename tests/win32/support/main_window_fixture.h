// The real MainWindow under test: the real platform calls, counted, and the
// window's three services observed on the way through.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "app/labeling_run.h"
#include "app/win32/main_window.h"
#include "app/window_definition.h"
#include "page/browser_host/win32/message_delivery.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/page_automation.h"

namespace autolabel::tests::win32 {

using app::win32::MainWindow;
using browser_host::win32::Win32Platform;

// The real calls, counted.
class CountingPlatform final : public browser_host::Platform {
  public:
    int coInitialize = 0, coUninitialize = 0, isWindow = 0;
    // Bindings begun while the binding's walk dispatches waiting messages.
    int bindingsInWalk = 0;
    std::function<void()> onBindingInWalk;

    // Runs before each CoInitialize is passed on.
    std::function<void()> beforeCoInitialize;

    browser_host::Hresult CoInitialize(void* reserved) override {
        if (beforeCoInitialize) beforeCoInitialize();
        ++coInitialize;
        return real_.CoInitialize(reserved);
    }
    void CoUninitialize() override {
        ++coUninitialize;
        real_.CoUninitialize();
    }
    bool IsWindow(browser_host::WindowHandle window) override {
        ++isWindow;
        if (walkDispatching_ > 0) {
            ++bindingsInWalk;
            if (onBindingInWalk) onBindingInWalk();
        }
        return real_.IsWindow(window);
    }
    browser_host::WindowHandle FindWindowExA(browser_host::WindowHandle parent,
                                             browser_host::WindowHandle after, const char* name,
                                             const char* title) override {
        return real_.FindWindowExA(parent, after, name, title);
    }
    int GetClassNameA(browser_host::WindowHandle window, char* buffer, int size) override {
        return real_.GetClassNameA(window, buffer, size);
    }
    std::uint32_t RegisterWindowMessageA(const char* name) override {
        return real_.RegisterWindowMessageA(name);
    }
    browser_host::Lresult SendMessageTimeoutA(browser_host::WindowHandle window,
                                              std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam, std::uint32_t flags,
                                              std::uint32_t timeout,
                                              std::uintptr_t* result) override {
        return real_.SendMessageTimeoutA(window, message, wParam, lParam, flags, timeout, result);
    }
    browser_host::Hresult ObjectFromLresult(browser_host::Lresult lresult,
                                            const browser_host::Guid& iid, std::uintptr_t wParam,
                                            browser_host::DomRef& object) override {
        return real_.ObjectFromLresult(lresult, iid, wParam, object);
    }
    void DispatchWaitingMessages() override {
        ++walkDispatching_;
        real_.DispatchWaitingMessages();
        --walkDispatching_;
    }

  private:
    Win32Platform real_;
    int walkDispatching_ = 0;
};

// The real window, with its three services counted on the way through.
class ObservedWindow : public MainWindow {
  public:
    int browserReads = 0, reloads = 0;
    std::vector<int> periods;
    // What IsPageReady answered, in order.
    std::vector<bool> readiness;
    std::function<void(ObservedWindow&)> afterCreate;

    void CreateMainWindow(const app::WindowDefinition& definition,
                          const std::string& address) override {
        MainWindow::CreateMainWindow(definition, address);
        if (afterCreate) afterCreate(*this);
    }
    // A work area of the test's choice instead of the monitor's.
    std::optional<RECT> workArea;
    RECT WorkArea(const RECT& window) const override {
        return workArea ? *workArea : MainWindow::WorkArea(window);
    }
    browser_host::WindowHandle BrowserWindowHandle() override {
        ++browserReads;
        return MainWindow::BrowserWindowHandle();
    }
    void SetTimerPeriod(int milliseconds) override {
        periods.push_back(milliseconds);
        MainWindow::SetTimerPeriod(milliseconds);
    }
    void ReloadBrowser() override {
        ++reloads;
        MainWindow::ReloadBrowser();
    }
    app::PageHold PageHoldNow() override {
        const app::PageHold hold = MainWindow::PageHoldNow();
        readiness.push_back(hold == app::PageHold::None);
        return hold;
    }
};

inline std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

inline std::wstring TextOf(HWND window) {
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

// Handles messages for a while, as the message loop would.
inline void RunMessagesFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()),
                                    QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) continue;
            browser_host::win32::DeliverMessage(message);
        }
    }
}

// Handles messages until `done` holds, for at most `bound`; on failure says
// what was awaited and, from `seen`, what was there instead.
inline ::testing::AssertionResult RunMessagesUntil(
    std::string_view awaited, const std::function<bool()>& done,
    const std::function<std::string()>& seen = {},
    std::chrono::milliseconds bound = std::chrono::seconds(10)) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        const auto waited = std::chrono::steady_clock::now() - start;
        if (waited >= bound) {
            auto failure = ::testing::AssertionFailure()
                           << "waited "
                           << std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()
                           << " ms for " << awaited;
            if (seen) failure << "; seen: " << seen();
            return failure;
        }
        RunMessagesFor(std::chrono::milliseconds(10));
    }
    return ::testing::AssertionSuccess();
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app::labeling.Reset();  // a run of its own
        app::page = std::make_unique<automation::PageAutomation>(platform);
        app::mainWindow = &window;
        app::browserWindow = 0;
        window.CreateMainWindow(app::MainWindowDefinition(), "about:blank");
        ASSERT_NE(window.Handle(), nullptr);
    }
    void TearDown() override {
        if (window.Handle()) ::DestroyWindow(window.Handle());
        RunMessagesFor(std::chrono::milliseconds(0));
        app::mainWindow = nullptr;
        app::page.reset();
    }
    HWND Control(std::string_view name) { return window.ControlWindow(name); }
    void Click(std::string_view name) { ::SendMessageW(Control(name), BM_CLICK, 0, 0); }

    CountingPlatform platform;
    ObservedWindow window;
};

}  // namespace autolabel::tests::win32
