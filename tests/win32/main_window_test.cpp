// The real MainWindow: its controls as the window definition has them, each
// button's routine run by a real click, the timer, and a whole run of the
// program ended by closing the window.
#include "app/win32/main_window.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/program.h"
#include "app/window_definition.h"
#include "page/browser_host/win32/utf16.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "page/page_automation.h"

namespace autolabel::app::win32 {

using browser_host::win32::FromHwnd;
using browser_host::win32::Utf8ToWide;
using browser_host::win32::Win32Platform;
namespace {

using app::ControlKind;

// The real calls, counted.
class CountingPlatform final : public browser_host::Platform {
  public:
    int coInitialize = 0, coUninitialize = 0, isWindow = 0;

    browser_host::Hresult CoInitialize(void* reserved) override {
        ++coInitialize;
        return real_.CoInitialize(reserved);
    }
    void CoUninitialize() override {
        ++coUninitialize;
        real_.CoUninitialize();
    }
    bool IsWindow(browser_host::WindowHandle window) override {
        ++isWindow;
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
    void DispatchWaitingMessages() override { real_.DispatchWaitingMessages(); }

  private:
    Win32Platform real_;
};

// The real window, with its three services counted on the way through.
class ObservedWindow : public MainWindow {
  public:
    int browserReads = 0, reloads = 0;
    std::vector<int> periods;
    std::function<void(ObservedWindow&)> afterCreate;

    void CreateMainWindow(const app::WindowDefinition& definition,
                          const std::string& address) override {
        MainWindow::CreateMainWindow(definition, address);
        if (afterCreate) afterCreate(*this);
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
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

// Handles messages for a while, as the message loop would.
void RunMessagesFor(std::chrono::milliseconds duration) {
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
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        app::page = std::make_unique<page::PageAutomation>(platform);
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

TEST_F(MainWindowTest, HasTheTitlePositionAndSizeOfTheDefinition) {
    const auto& definition = app::MainWindowDefinition();
    EXPECT_EQ(TextOf(window.Handle()), Utf8ToWide(definition.title));
    EXPECT_EQ(TextOf(window.Handle()), L"青禾核心用户标注平台自动刷贴器");
    RECT frame;
    ::GetWindowRect(window.Handle(), &frame);
    EXPECT_EQ(frame.left, definition.left);
    EXPECT_EQ(frame.top, definition.top);
    EXPECT_EQ(frame.right - frame.left, definition.width);
    EXPECT_EQ(frame.bottom - frame.top, definition.height);
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
}

TEST_F(MainWindowTest, ItsChildrenAreTheControlsInDefinitionOrder) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window.Handle(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);

    size_t index = 0;
    for (const app::ControlDefinition& control : app::MainWindowDefinition().controls) {
        if (control.kind == ControlKind::Timer) continue;  // no window
        SCOPED_TRACE(std::string(control.name));
        ASSERT_LT(index, children.size());
        HWND child = children[index++];
        EXPECT_EQ(child, Control(control.name));
        const LONG style = ::GetWindowLongW(child, GWL_STYLE);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_TRUE(::IsWindowEnabled(child));
        switch (control.kind) {
            case ControlKind::PushButton:
                EXPECT_EQ(ClassOf(child), L"Button");
                EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
                EXPECT_EQ(TextOf(child), Utf8ToWide(control.caption));
                break;
            case ControlKind::RadioGroupBox:
                EXPECT_EQ(ClassOf(child), L"Button");
                EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
                EXPECT_EQ(TextOf(child), Utf8ToWide(control.caption));
                break;
            case ControlKind::WebBrowser:
                EXPECT_EQ(ClassOf(child), L"Shell Embedding");
                break;
            case ControlKind::Timer:
                break;
        }
        RECT bounds;
        ::GetWindowRect(child, &bounds);
        ::MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        EXPECT_EQ(bounds.left, control.left);
        EXPECT_EQ(bounds.top, control.top);
        EXPECT_EQ(bounds.right - bounds.left, control.width);
        EXPECT_EQ(bounds.bottom - bounds.top, control.height);
    }
    EXPECT_EQ(index, children.size());
    EXPECT_EQ(TextOf(Control("按钮6")), L"全选并提交");
    EXPECT_EQ(TextOf(Control("单选分组框2")), L"手动区");
}

TEST_F(MainWindowTest, TheGroupBoxesHaveTheirFontAndTheButtonsTheDefault) {
    for (const char* name : {"单选分组框1", "单选分组框2"}) {
        SCOPED_TRACE(name);
        auto font = reinterpret_cast<HFONT>(::SendMessageW(Control(name), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW description{};
        ASSERT_GT(::GetObjectW(font, sizeof description, &description), 0);
        EXPECT_STREQ(description.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(description.lfHeight, -11);
        EXPECT_EQ(description.lfWeight, 400);
        EXPECT_EQ(description.lfCharSet, 1);
        EXPECT_FALSE(description.lfItalic || description.lfUnderline || description.lfStrikeOut);
    }
    EXPECT_EQ(::SendMessageW(Control("按钮1"), WM_GETFONT, 0, 0), 0);
}

TEST_F(MainWindowTest, TheBrowserIsHostedInPlaceAndItsWindowStored) {
    HWND browser = Control("超文本浏览框1");
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(::GetParent(browser), window.Handle());
    EXPECT_EQ(app::browserWindow, FromHwnd(browser));
    // In-place activation made the document view below the control.
    HWND view = ::GetWindow(browser, GW_CHILD);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(ClassOf(view), L"Shell DocObject View");
}

TEST_F(MainWindowTest, EachButtonPressedRunsItsRoutine) {
    struct Expected {
        const char* button;
        int bindings, reloads;
        std::vector<int> periods;
    };
    // With no page loaded, select-all finds no radio button and reloads.
    const Expected cases[] = {
        {"按钮1", 1, 1, {}}, {"按钮2", 1, 0, {}},     {"按钮6", 2, 1, {}},
        {"按钮5", 0, 1, {}}, {"按钮4", 0, 0, {3000}}, {"按钮3", 0, 0, {0}},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.button);
        platform.isWindow = 0;
        window.reloads = 0;
        window.periods.clear();
        Click(expected.button);
        EXPECT_EQ(platform.isWindow, expected.bindings);
        EXPECT_EQ(window.reloads, expected.reloads);
        EXPECT_EQ(window.periods, expected.periods);
    }
    // The frames run nothing that shows.
    platform.isWindow = 0;
    ::SendMessageW(window.Handle(), WM_COMMAND,
                   MAKEWPARAM(::GetDlgCtrlID(Control("单选分组框1")), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Control("单选分组框1")));
    EXPECT_EQ(platform.isWindow, 0);
    EXPECT_EQ(window.reloads, 0);
}

TEST_F(MainWindowTest, TheTimerTicksEveryPeriodWhileOnAndNotWhileOff) {
    window.browserReads = 0;
    platform.isWindow = 0;
    RunMessagesFor(std::chrono::milliseconds(3300));
    EXPECT_EQ(window.browserReads, 0);  // off at start

    // Pressed twice: still one pass per period. Nominally 2 ticks in 6.5 s.
    Click("按钮4");
    Click("按钮4");
    RunMessagesFor(std::chrono::milliseconds(6500));
    const int ticks = window.browserReads;
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 3);
    EXPECT_EQ(platform.isWindow, 2 * ticks);  // each pass binds twice

    Click("按钮3");
    RunMessagesFor(std::chrono::milliseconds(3300));
    EXPECT_EQ(window.browserReads, ticks);
}

TEST(Program, ClosingTheWindowWithAutoModeOnEndsNormally) {
    CountingPlatform platform;
    ObservedWindow window;
    window.afterCreate = [](ObservedWindow& self) {
        HWND autoOn = self.ControlWindow("按钮4");
        ::PostMessageW(autoOn, BM_CLICK, 0, 0);
        ::PostMessageW(self.Handle(), WM_CLOSE, 0, 0);
    };
    const int status = app::RunProgram(platform, window, "about:blank");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(window.periods, std::vector<int>{3000});
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(app::page, nullptr);
    EXPECT_EQ(platform.coInitialize, 1);
    EXPECT_EQ(platform.coUninitialize, 1);
    app::ExitRoutine();  // as at process exit: nothing left to destroy
    EXPECT_EQ(platform.coUninitialize, 1);
}

}  // namespace
}  // namespace autolabel::app::win32
