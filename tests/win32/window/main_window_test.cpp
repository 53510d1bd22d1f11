// The real MainWindow: its controls as the window definition has them, each
// button's routine run by a real click, the timer, and a whole run of the
// program ended by closing the window.
#include "app/win32/main_window.h"

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/commands.h"
#include "app/program.h"
#include "app/win32/no_forum_page.h"
#include "app/win32/placement.h"
#include "app/win32/system_dpi.h"
#include "app/win32/window_layout.h"
#include "app/win32/windows_program.h"
#include "app/window_definition.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "page/page_automation.h"
#include "support/win32/utf16.h"
#include "tests/win32/support/layout_checks.h"
#include "tests/win32/support/main_window_fixture.h"
#include "tests/win32/support/test_active_object.h"
#include "tests/win32/support/test_document.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
using namespace app::win32;
using namespace support::win32;

using browser_host::win32::FromHwnd;
namespace {
using tests::win32::RunMessagesUntil;

using app::ControlDefinition;
using app::ControlKind;

TEST_F(MainWindowTest, HasTheTitleAndAClientAreaThatHoldsEveryControl) {
    const auto& definition = app::MainWindowDefinition();
    EXPECT_EQ(TextOf(window.Handle()), Utf8ToWide(definition.title));
    EXPECT_EQ(TextOf(window.Handle()), L"青禾核心用户标注平台自动刷贴器");
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));

    // The browser's 1024 x 512 and the frames' lower edge at 608, whatever
    // the system's frame and caption take.
    RECT client;
    ::GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right - client.left, 1024);
    EXPECT_EQ(client.bottom - client.top, 608);
    int controls = 0;
    for (HWND child = ::GetWindow(window.Handle(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == window.StateWindow()) continue;  // the state line, hidden while idle
        SCOPED_TRACE(TextOf(child));
        RECT bounds;
        ::GetWindowRect(child, &bounds);
        ::MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&bounds), 2);
        RECT inside;
        ::IntersectRect(&inside, &bounds, &client);
        EXPECT_TRUE(::EqualRect(&inside, &bounds));
        ++controls;
    }
    EXPECT_EQ(controls, 9);  // the ten controls less the timer, which has no window
}

TEST(Placement, TheWindowKeepsItsPlaceWhereItFitsAndMovesAsLittleAsNeededWhereItDoesNot) {
    const RECT window{50, 50, 50 + 1040, 50 + 680};
    const RECT large{0, 0, 1920, 1040};
    const RECT kept = PlaceInWorkArea(window, large);
    EXPECT_TRUE(::EqualRect(&kept, &window));
    // 1920 x 1080 at 150 %: the work area above the taskbar is 1280 x 672.
    RECT placed = PlaceInWorkArea(window, RECT{0, 0, 1280, 672});
    EXPECT_EQ(placed.left, 50);  // wide enough: it stays where it was
    EXPECT_EQ(placed.top, 0);    // too low: up, but not above the work area
    EXPECT_EQ(placed.right - placed.left, 1040);
    EXPECT_EQ(placed.bottom - placed.top, 680);
    // 1366 x 768 at 175 %: 780 x 406, narrower and lower than the window.
    placed = PlaceInWorkArea(window, RECT{0, 0, 780, 406});
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    // A smaller window just past the edge moves by the overlap only.
    const RECT small{50, 50, 50 + 1000, 50 + 630};
    placed = PlaceInWorkArea(small, RECT{0, 0, 1280, 672});
    EXPECT_EQ(placed.left, 50);
    EXPECT_EQ(placed.top, 42);
    EXPECT_EQ(placed.bottom, 672);
    // A taskbar on the left or at the top; a second monitor narrower than
    // the window: its left edge on that monitor.
    placed = PlaceInWorkArea(small, RECT{60, 40, 1280, 720});
    EXPECT_EQ(placed.left, 60);
    EXPECT_EQ(placed.top, 50);
    placed = PlaceInWorkArea(RECT{1970, 50, 2970, 680}, RECT{1920, 0, 2880, 1040});
    EXPECT_EQ(placed.left, 1920);
    EXPECT_EQ(placed.top, 50);
}

// Laptop screens as the system-DPI-aware window sees them (pixels, above
// a taskbar of 40 pixels at 100 %), and, at 96 DPI, the work areas the
// same screens give a program the system stretches.
struct ScaledScreen {
    const char* name;
    int dpi;
    RECT workArea;
};
constexpr ScaledScreen kLaptopScreens[] = {
    {"1366 x 768 at 125 %", 120, {0, 0, 1366, 718}},
    {"1600 x 900 at 150 %", 144, {0, 0, 1600, 840}},
    {"1920 x 1080 at 175 %", 168, {0, 0, 1920, 1010}},
    {"1920 x 1080 at 200 %", 192, {0, 0, 1920, 1000}},
    {"1280 x 800 at 125 %", 120, {0, 0, 1280, 750}},
    {"1366 x 768 at 125 %, stretched", 96, {0, 0, 1093, 574}},
    {"1600 x 900 at 150 %, stretched", 96, {0, 0, 1066, 560}},
    {"1920 x 1080 at 175 %, stretched", 96, {0, 0, 1097, 577}},
    {"1920 x 1080 at 200 %, stretched", 96, {0, 0, 960, 500}},
    {"1280 x 800 at 125 %, stretched", 96, {0, 0, 1024, 600}},
    {"a taskbar on the left, 1366 x 768 at 125 %", 120, {62, 0, 1366, 768}},
};
// 100 % on 1280 x 720 and larger.
constexpr RECT kLargeWorkAreas[] = {
    {0, 0, 1280, 680}, {0, 0, 1366, 728}, {0, 0, 1920, 1040}, {0, 0, 2560, 1400}};

// 超文本浏览框1's place in the definition.
constexpr size_t kBrowser = 2;

// A frame of Windows 10 and 11 for this window at `dpi`.
RECT FrameAt(int dpi) {
    return RECT{ScaleToDpi(8, dpi), ScaleToDpi(31, dpi), ScaleToDpi(8, dpi), ScaleToDpi(8, dpi)};
}

TEST(WindowLayout, FitsEveryCommonLaptopScalingButtonsIncludedAndChangesNothingOnLargerScreens) {
    const auto& definition = app::MainWindowDefinition();
    ASSERT_EQ(definition.controls[kBrowser].kind, ControlKind::WebBrowser);
    for (const ScaledScreen& screen : kLaptopScreens) {
        SCOPED_TRACE(screen.name);
        const RECT frame = FrameAt(screen.dpi);
        const WindowLayout layout =
            LayOutMainWindow(definition, screen.dpi, frame, screen.workArea);
        ExpectFitsAndKeepsTheRows(layout, frame, screen.workArea, screen.dpi);
        // None of these has room for the whole window: the browser gives up
        // height, and leaves most of it.
        EXPECT_LT(layout.client.cy, ScaleToDpi(608, screen.dpi));
        EXPECT_GT(layout.controls[kBrowser].bottom, ScaleToDpi(350, screen.dpi));
    }
    for (const RECT& workArea : kLargeWorkAreas) {
        SCOPED_TRACE(Describe(workArea));
        const RECT frame = FrameAt(96);
        const WindowLayout layout = LayOutMainWindow(definition, 96, frame, workArea);
        ExpectFitsAndKeepsTheRows(layout, frame, workArea, 96);
        for (size_t i = 0; i < definition.controls.size(); ++i) {
            const ControlDefinition& control = definition.controls[i];
            if (control.kind == ControlKind::Timer) continue;
            const RECT defined{control.left, control.top, control.left + control.width,
                               control.top + control.height};
            EXPECT_TRUE(::EqualRect(&layout.controls[i], &defined)) << control.name;
        }
        // At its defined place, moved up only where the screen is too low.
        const RECT placed = PlaceInWorkArea(RECT{50, 50, 50 + 1040, 50 + 647}, workArea);
        EXPECT_TRUE(::EqualRect(&layout.window, &placed)) << Describe(layout.window);
    }
}

TEST(MainWindowLayout, TheRealWindowFitsEachLaptopsWorkAreaWithItsButtons) {
    CountingPlatform platform;
    app::page = std::make_unique<automation::PageAutomation>(platform);
    for (const ScaledScreen& screen : kLaptopScreens) {
        SCOPED_TRACE(screen.name);
        ObservedWindow window;
        app::mainWindow = &window;
        // The scale of this process: the screens' work areas as it sees them.
        const int dpi = SystemDpi();
        window.workArea = RECT{0, 0, ::MulDiv(screen.workArea.right, dpi, screen.dpi),
                               ::MulDiv(screen.workArea.bottom, dpi, screen.dpi)};
        window.CreateMainWindow(app::MainWindowDefinition(), "about:blank");
        ASSERT_NE(window.Handle(), nullptr);
        EXPECT_EQ(window.Dpi(), dpi);
        ExpectWindowLaidOut(window.Handle(), *window.workArea, dpi);
        // The page's area fills what the browser was given.
        RECT view{};
        ::GetClientRect(::GetWindow(window.ControlWindow("超文本浏览框1"), GW_CHILD), &view);
        EXPECT_EQ(view.bottom, window.Layout().controls[kBrowser].bottom);
        ::DestroyWindow(window.Handle());
        RunMessagesFor(std::chrono::milliseconds(0));
    }
    app::mainWindow = nullptr;
    app::page.reset();
}

TEST_F(MainWindowTest, TheWindowLiesInsideTheWorkAreaOfItsMonitor) {
    RECT frame;
    ::GetWindowRect(window.Handle(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(
        ::GetMonitorInfoW(::MonitorFromWindow(window.Handle(), MONITOR_DEFAULTTONULL), &monitor));
    const RECT& work = monitor.rcWork;
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    SCOPED_TRACE(::testing::Message() << "work area " << work.right - work.left << " x "
                                      << work.bottom - work.top << ", window " << width << " x "
                                      << height << " at " << frame.left << ", " << frame.top);
    const auto& definition = app::MainWindowDefinition();
    if (width <= work.right - work.left && height <= work.bottom - work.top) {
        RECT inside;
        ::IntersectRect(&inside, &frame, &work);
        EXPECT_TRUE(::EqualRect(&inside, &frame));
    }
    // At its defined place where that fits, else moved up and left no more than needed.
    const LONG left = std::max(work.left, std::min<LONG>(definition.left, work.right - width));
    const LONG top = std::max(work.top, std::min<LONG>(definition.top, work.bottom - height));
    EXPECT_EQ(frame.left, left);
    EXPECT_EQ(frame.top, top);
}

// Waits, handling messages as the loop does, until `done` holds.
bool RunMessagesUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < deadline)
        RunMessagesFor(std::chrono::milliseconds(20));
    return done();
}

// Tab pressed and let go in `window`, through the real message delivery.
void PressTab(HWND window) {
    ::PostMessageW(window, WM_KEYDOWN, VK_TAB, 0);
    ::PostMessageW(window, WM_KEYUP, VK_TAB, 0);
}

TEST_F(MainWindowTest, TabMovesAmongTheButtonsLeftToRightAndEnterOrSpacePressesTheFocusedOne) {
    ::SetForegroundWindow(window.Handle());
    ::SetFocus(Control("按钮3"));  // 关闭自动
    ASSERT_EQ(::GetFocus(), Control("按钮3"));
    for (const char* next : {"按钮1", "按钮2", "按钮6", "按钮5"}) {  // 全选 提交 全选并提交 刷新
        HWND from = ::GetFocus();
        ::PostMessageW(from, WM_KEYDOWN, VK_TAB, 0);
        ::PostMessageW(from, WM_KEYUP, VK_TAB, 0);
        EXPECT_TRUE(RunMessagesUntil([&] { return ::GetFocus() != from; }))
            << "awaited the focus to leave " << TextOf(from);
        EXPECT_EQ(::GetFocus(), Control(next))
            << "focus on " << (::GetFocus() ? TextOf(::GetFocus()) : L"nothing") << ", awaited "
            << TextOf(Control(next));
    }
    // Enter on the focused 刷新 runs its routine.
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(::GetFocus(), WM_KEYUP, VK_RETURN, 0);
    EXPECT_TRUE(RunMessagesUntil([&] { return window.reloads == 1; }))
        << "awaited one reload after Enter on 刷新, saw " << window.reloads;
    // Space on 开启自动, as a button takes it.
    ::SetFocus(Control("按钮4"));
    ::PostMessageW(Control("按钮4"), WM_KEYDOWN, VK_SPACE, 0);
    ::PostMessageW(Control("按钮4"), WM_KEYUP, VK_SPACE, 0);
    EXPECT_TRUE(RunMessagesUntil([&] { return !window.periods.empty(); }))
        << "awaited the automatic mode switched on after Space on 开启自动";
    EXPECT_EQ(window.periods, std::vector<int>{app::kAutoPeriodMs});
    EXPECT_EQ(window.reloads, 1);

    // Tab from the last button enters the page: the control activated,
    // the focus in it and the key given to it, which starts its own order.
    const auto inThePage = [&] { return window.Browser().Contains(::GetFocus()); };
    ::SetFocus(Control("按钮5"));
    PressTab(Control("按钮5"));
    EXPECT_TRUE(RunMessagesUntil(inThePage)) << "awaited the focus in the page after 刷新";
    auto active = ComPtr<TestActiveObject>::Adopt(new TestActiveObject());
    window.Browser().Site()->SetActiveObject(active.Get(), nullptr);
    ::SetFocus(Control("按钮5"));
    PressTab(Control("按钮5"));
    ASSERT_TRUE(RunMessagesUntil(inThePage)) << "awaited the focus in the page after 刷新";
    ASSERT_EQ(active->translated.size(), 1u);
    EXPECT_EQ(active->translated[0].wParam, static_cast<WPARAM>(VK_TAB));
    EXPECT_EQ(active->translated[0].hwnd, ::GetFocus());
    // At the end of its order the control hands Tab back: the first button.
    active->answer = S_FALSE;
    PressTab(::GetFocus());
    EXPECT_TRUE(RunMessagesUntil([&] { return ::GetFocus() == Control("按钮4"); }))
        << "awaited 开启自动 after the page's last element";
    // Shift+Tab from the first button enters the page from its end, and
    // back out at its start it goes to the last button.
    BYTE keys[256], saved[256];
    ASSERT_TRUE(::GetKeyboardState(saved));
    memcpy(keys, saved, sizeof keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    PressTab(Control("按钮4"));
    EXPECT_TRUE(RunMessagesUntil(inThePage)) << "awaited the focus in the page after 开启自动";
    PressTab(::GetFocus());
    EXPECT_TRUE(RunMessagesUntil([&] { return ::GetFocus() == Control("按钮5"); }))
        << "awaited 刷新 after the page's first element";
    ::SetKeyboardState(saved);
    // Every Tab pressed in the page, or into it, was the control's first.
    EXPECT_EQ(std::count_if(active->translated.begin(), active->translated.end(),
                            [](const MSG& key) { return key.message == WM_KEYDOWN; }),
              4);
    window.Browser().Site()->SetActiveObject(nullptr, nullptr);
}

TEST_F(MainWindowTest, TheBackgroundIsNotPaintedOverTheBrowser) {
    RECT client;
    ::GetClientRect(window.Handle(), &client);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    const COLORREF marker = RGB(10, 200, 30);
    HBRUSH markerBrush = ::CreateSolidBrush(marker);
    ::FillRect(dc, &client, markerBrush);

    EXPECT_NE(::SendMessageW(window.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
    EXPECT_EQ(::GetPixel(dc, 512, 256), marker);                       // inside the browser
    EXPECT_EQ(::GetPixel(dc, 1023, 511), marker);                      // its last pixel
    EXPECT_EQ(::GetPixel(dc, 10, 520), ::GetSysColor(COLOR_BTNFACE));  // below it
    EXPECT_EQ(::GetPixel(dc, 1000, 600), ::GetSysColor(COLOR_BTNFACE));

    ::SelectObject(dc, previous);
    ::DeleteObject(markerBrush);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

TEST_F(MainWindowTest, ItsChildrenAreTheControlsInTabOrder) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window.Handle(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        if (child != window.StateWindow()) children.push_back(child);
    // The Z order is the tab order: the browser, the buttons from left to
    // right, then the frames, under the buttons they hold (the state line,
    // no tab stop, is beside them).
    std::vector<HWND> expected;
    for (const char* name : {"超文本浏览框1", "按钮4", "按钮3", "按钮1", "按钮2", "按钮6", "按钮5",
                             "单选分组框1", "单选分组框2"})
        expected.push_back(Control(name));
    EXPECT_EQ(children, expected);

    size_t index = 0;
    for (const app::ControlDefinition& control : app::MainWindowDefinition().controls) {
        if (control.kind == ControlKind::Timer) continue;  // no window
        SCOPED_TRACE(std::string(control.name));
        ASSERT_LT(index++, children.size());
        HWND child = Control(control.name);
        ASSERT_NE(child, nullptr);
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

// The description of a control's font; a face of "" when it has none.
LOGFONTW FontOf(HWND control) {
    LOGFONTW description{};
    auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    if (font) ::GetObjectW(font, sizeof description, &description);
    return description;
}

TEST_F(MainWindowTest, TheGroupBoxesHaveTheirFontAndTheButtonsTheSystemsMessageFont) {
    for (const char* name : {"单选分组框1", "单选分组框2"}) {
        SCOPED_TRACE(name);
        const LOGFONTW description = FontOf(Control(name));
        EXPECT_STREQ(description.lfFaceName, L"MS Sans Serif");
        EXPECT_EQ(description.lfHeight, -11);
        EXPECT_EQ(description.lfWeight, 400);
        EXPECT_EQ(description.lfCharSet, 1);
        EXPECT_FALSE(description.lfItalic || description.lfUnderline || description.lfStrikeOut);
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    for (const char* name : {"按钮1", "按钮2", "按钮3", "按钮4", "按钮5", "按钮6"}) {
        SCOPED_TRACE(name);
        // No font at all would be the old bitmap "System" font.
        const LOGFONTW description = FontOf(Control(name));
        EXPECT_STRNE(description.lfFaceName, L"");
        EXPECT_STRNE(description.lfFaceName, L"System");
        EXPECT_STREQ(description.lfFaceName, metrics.lfMessageFont.lfFaceName);
        EXPECT_EQ(description.lfHeight, metrics.lfMessageFont.lfHeight);
    }

    // Both fonts are the window's own: deleted when it goes.
    const auto fontOf = [&](const char* name) {
        return reinterpret_cast<HFONT>(::SendMessageW(Control(name), WM_GETFONT, 0, 0));
    };
    const HFONT buttonFont = fontOf("按钮1"), boxFont = fontOf("单选分组框1");
    ::DestroyWindow(window.Handle());
    LOGFONTW gone{};
    EXPECT_EQ(::GetObjectW(buttonFont, sizeof gone, &gone), 0);
    EXPECT_EQ(::GetObjectW(boxFont, sizeof gone, &gone), 0);
}

TEST_F(MainWindowTest, TheBrowserIsActivatedInPlaceAndItsWindowStored) {
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

    // Pressed twice: still one pass per period, so two passes take two
    // periods (a second timer would bring them within one).
    const auto on = std::chrono::steady_clock::now();
    Click("按钮4");
    Click("按钮4");
    ASSERT_TRUE(RunMessagesUntil(
        "two passes", [&] { return window.browserReads >= 2; },
        [&] { return std::to_string(window.browserReads) + " passes"; },
        std::chrono::milliseconds(4 * app::kAutoPeriodMs)));
    EXPECT_GE(std::chrono::steady_clock::now() - on,
              std::chrono::milliseconds(2 * app::kAutoPeriodMs - 100));
    const int ticks = window.browserReads;
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(platform.isWindow, 2 * ticks);  // each pass binds twice

    Click("按钮3");
    RunMessagesFor(std::chrono::milliseconds(3300));
    EXPECT_EQ(window.browserReads, ticks);

    // KillTimer leaves a tick already posted in the queue: 关闭自动 pressed
    // after it came, before it was handled; it runs no pass.
    Click("按钮4");
    ::PostMessageW(window.Handle(), WM_TIMER, MainWindow::kTimerId, 0);
    Click("按钮3");
    const auto tickWaiting = [&] {
        MSG message;
        return ::PeekMessageW(&message, window.Handle(), WM_TIMER, WM_TIMER, PM_NOREMOVE) != 0;
    };
    EXPECT_TRUE(
        RunMessagesUntil("the tick left in the queue handled", [&] { return !tickWaiting(); }));
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

TEST(Program, OpensOleBeforeAnyOtherCallIntoComAndClosesItAfterTheLast) {
    // On a thread of its own, where nothing has opened COM yet.
    HRESULT atFirstCall = E_FAIL, afterTheRun = E_FAIL;
    int status = -1;
    std::thread program([&] {
        CountingPlatform platform;
        ObservedWindow window;
        platform.beforeCoInitialize = [&] {
            // S_FALSE: the apartment is open already, as OLE opened it.
            atFirstCall = ::OleInitialize(nullptr);
            if (SUCCEEDED(atFirstCall)) ::OleUninitialize();
        };
        window.afterCreate = [](ObservedWindow& self) {
            ::PostMessageW(self.Handle(), WM_CLOSE, 0, 0);
        };
        status = RunWindowsProgram(platform, window, "about:blank");
        // Nothing left open: the thread may take another apartment.
        afterTheRun = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(afterTheRun)) ::CoUninitialize();
    });
    program.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(atFirstCall, S_FALSE) << "the page's CoInitialize came first";
    EXPECT_EQ(afterTheRun, S_OK) << "COM or OLE still open on the thread";
}

TEST(Program, ClosingWithAPageWindowOpenEndsNormallyAndLeavesNoReference) {
    CountingPlatform platform;
    ObservedWindow window;
    TestWindows windows;
    auto* document = new TestDocument();
    document->Add({.type = L"radio", .name = L"g"});
    const long alive = TestDispatch::Alive();
    HWND pageWindow = nullptr;
    window.afterCreate = [&](ObservedWindow& self) {
        // The page bound to a document of its own, and a window it opened.
        HWND view = ::GetWindow(self.ControlWindow("超文本浏览框1"), GW_CHILD);
        TestWindows::Serve(windows.Create("Internet Explorer_Server", view), document);
        ::SendMessageW(self.ControlWindow("按钮1"), BM_CLICK, 0, 0);
        VARIANT_BOOL cancel = VARIANT_FALSE;
        IDispatch* target = nullptr;
        VARIANT arguments[5];
        arguments[4].vt = VT_BYREF | VT_DISPATCH;
        arguments[4].ppdispVal = &target;
        arguments[3].vt = VT_BYREF | VT_BOOL;
        arguments[3].pboolVal = &cancel;
        arguments[2].vt = VT_I4;
        arguments[2].lVal = 0;
        arguments[1].vt = arguments[0].vt = VT_EMPTY;
        DISPPARAMS parameters{arguments, nullptr, 5, 0};
        self.Browser().EventSink()->Invoke(DISPID_NEWWINDOW3, IID_NULL, LOCALE_USER_DEFAULT,
                                           DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
        if (target) target->Release();  // the control would hold it; we do not
        if (!self.PageWindows().empty()) pageWindow = self.PageWindows()[0]->Handle();
        ::PostMessageW(self.ControlWindow("按钮4"), BM_CLICK, 0, 0);
        ::PostMessageW(self.Handle(), WM_CLOSE, 0, 0);
    };
    const int status = app::RunProgram(platform, window, "about:blank");
    EXPECT_EQ(status, 0);
    ASSERT_NE(pageWindow, nullptr);
    EXPECT_FALSE(::IsWindow(pageWindow));
    EXPECT_TRUE(window.PageWindows().empty());
    EXPECT_EQ(app::page, nullptr);
    EXPECT_EQ(platform.coInitialize, 1);
    EXPECT_EQ(platform.coUninitialize, 1);
    EXPECT_TRUE(document->element(0).checked());
    EXPECT_EQ(document->References(), 1u);  // the page's reference is gone
    EXPECT_EQ(TestDispatch::Alive(), alive);
    document->Release();
}

// What the control is asked to show at start, read back from it: Wine loads
// no page, but the control keeps the address it was sent to.
TEST(Program, TheControlStartsOnTheGivenAddressElseOnTheToolsOwnPageInTheProgramsFile) {
    ASSERT_FALSE(app::NamesAForum(app::ForumHost()))
        << "this build is for the forum " << app::ForumHost() << ": its start is the forum's";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring toolPage =
        app::win32::ResourceAddress(self, app::win32::kNoForumPageResource);
    EXPECT_EQ(toolPage.rfind(L"res://", 0), 0u) << toolPage;
    EXPECT_NE(toolPage.find(L"win32_tests.exe/NO-FORUM.HTML"), std::wstring::npos) << toolPage;

    for (const auto& [given, expected] : std::vector<std::pair<std::string, std::wstring>>{
             {"", toolPage},
             {"http://forum.example.test/cuseraudit/browser",
              L"http://forum.example.test/cuseraudit/browser"}}) {
        SCOPED_TRACE(given);
        CountingPlatform platform;
        ObservedWindow window;
        std::wstring shown;
        window.afterCreate = [&](ObservedWindow& self) {
            auto browser = self.Browser().Application().Query<IWebBrowser2>();
            EXPECT_TRUE(RunMessagesUntil(
                "the control's address",
                [&] {
                    BSTR url = nullptr;
                    if (browser && SUCCEEDED(browser->get_LocationURL(&url)) && url) shown = url;
                    ::SysFreeString(url);
                    return shown == expected;
                },
                [&] { return support::win32::WideToUtf8(shown); }));
            ::PostMessageW(self.Handle(), WM_CLOSE, 0, 0);
        };
        EXPECT_EQ(app::RunProgram(platform, window,
                                  app::win32::ProgramStartAddress(app::CommandLine{given})),
                  0);
    }
}

// The res: address of a module anywhere: what would end its host part or
// read as an escape is escaped, the rest stands.
TEST(Program, TheToolsPageAddressEscapesWhatTheResProtocolAsks) {
    EXPECT_EQ(app::win32::ResourceAddress(L"C:\\Users\\张三\\My Apps #1\\100%\\autolabel.exe",
                                          L"NO-FORUM.HTML"),
              L"res://C:%5CUsers%5C张三%5CMy%20Apps%20%231%5C100%25%5Cautolabel.exe/NO-FORUM.HTML");
}

}  // namespace
}  // namespace autolabel::tests::win32
