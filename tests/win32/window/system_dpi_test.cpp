// The window at a raised system DPI (144 and 168, 150 % and 175 %), which a
// process reads from the registry as it starts (Wine reads `LogPixels`):
// autolabel.exe itself, and the window in a process of these tests, each
// started with the DPI raised and looked at from here. These tests change
// that registry value while they run, so no other test runs beside them.
#include "app/win32/system_dpi.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>

#include <memory>
#include <string>

#include "app/commands.h"
#include "app/win32/window_layout.h"
#include "app/window_definition.h"
#include "page/page_automation.h"
#include "tests/win32/support/layout_checks.h"
#include "tests/win32/support/main_window_fixture.h"
#include "tests/win32/support/program_process.h"

namespace autolabel::tests::win32 {
using app::win32::SystemDpi;
using support::win32::ComPtr;

// The DPI that the process was started for, from its command line (0: none).
int expectedDpi = 0;

namespace {

// The system DPI of processes started from here on, put back afterwards.
class RaisedSystemDpi {
  public:
    explicit RaisedSystemDpi(DWORD dpi) {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                              nullptr) != ERROR_SUCCESS)
            return;
        DWORD type = 0, size = sizeof old_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, &type,
                                  reinterpret_cast<BYTE*>(&old_), &size) == ERROR_SUCCESS &&
               type == REG_DWORD;
        set_ = ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) == ERROR_SUCCESS;
    }
    ~RaisedSystemDpi() {
        if (!key_) return;
        if (had_)
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                             sizeof old_);
        else
            ::RegDeleteValueW(key_, L"LogPixels");
        ::RegCloseKey(key_);
    }
    bool set() const { return set_; }

  private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false, set_ = false;
};

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

std::wstring Self() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return self;
}

constexpr int kRaisedDpis[] = {144, 168};

TEST(SystemDpi, TheProgramLaysItsWindowOutAtTheSystemsDpiInsideTheWorkArea) {
    for (const int dpi : kRaisedDpis) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        RaisedSystemDpi raised(dpi);
        ASSERT_TRUE(raised.set());
        Process program(L"about:blank");
        ASSERT_TRUE(program.started);
        HWND window = WaitForMainWindow(program.info.dwProcessId);
        ASSERT_NE(window, nullptr) << "awaited autolabel.exe's window at " << dpi << " DPI";
        // 88 x 40 at 96 DPI.
        RECT button{};
        ::GetWindowRect(::FindWindowExW(window, nullptr, L"Button", L"全选"), &button);
        EXPECT_EQ(button.right - button.left, ScaleToDpi(88, dpi));
        EXPECT_EQ(button.bottom - button.top, ScaleToDpi(40, dpi));
        ExpectWindowLaidOut(window, WorkAreaOf(window), dpi);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.Wait(20000), 0);
    }
}

TEST(SystemDpi, TheTextAndThePageFollowTheSystemsDpi) {
    for (const int dpi : kRaisedDpis) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE reader = nullptr, writer = nullptr;
        ASSERT_TRUE(::CreatePipe(&reader, &writer, &inherit, 0));
        ::SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
        std::string output;
        long status = -1;
        {
            RaisedSystemDpi raised(dpi);
            ASSERT_TRUE(raised.set());
            Process child(L"--scaled-dpi=" + std::to_wstring(dpi), writer, Self(), writer);
            ::CloseHandle(writer);
            ASSERT_TRUE(child.started);
            char buffer[512];
            DWORD read = 0;
            while (::ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0)
                output.append(buffer, read);
            status = child.Wait(60000);
        }
        ::CloseHandle(reader);
        EXPECT_EQ(status, 0) << "the window's process at " << dpi << " DPI said:\n" << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    }
}

// Runs only in the process started by the test above, at its DPI.
TEST(InScaledProcess, FontsAndPageAtTheSystemsDpi) {
    ASSERT_GT(expectedDpi, 96);
    ASSERT_EQ(SystemDpi(), expectedDpi) << "the system's DPI did not reach this process";
    CountingPlatform platform;
    ObservedWindow window;
    app::page = std::make_unique<automation::PageAutomation>(platform);
    app::mainWindow = &window;
    window.CreateMainWindow(app::MainWindowDefinition(), "about:blank");
    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_EQ(window.Dpi(), expectedDpi);
    ExpectWindowLaidOut(window.Handle(), WorkAreaOf(window.Handle()), expectedDpi);

    const auto fontOf = [&](const char* name) {
        LOGFONTW description{};
        auto font =
            reinterpret_cast<HFONT>(::SendMessageW(window.ControlWindow(name), WM_GETFONT, 0, 0));
        if (font) ::GetObjectW(font, sizeof description, &description);
        return description;
    };
    // The frames' font: 11 pixels at 96 DPI.
    EXPECT_EQ(fontOf("单选分组框1").lfHeight, ScaleToDpi(-11, expectedDpi));
    EXPECT_STREQ(fontOf("单选分组框2").lfFaceName, L"MS Sans Serif");
    // The buttons': the message font at this DPI, larger than at 96.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(fontOf("按钮1").lfHeight, metrics.lfMessageFont.lfHeight);
    EXPECT_LT(metrics.lfMessageFont.lfHeight, -11);
    // The page's pixels scaled as well.
    auto handler =
        ComPtr<IOleClientSite>::Share(window.Browser().Site()).Query<IDocHostUIHandler>();
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_TRUE(info.dwFlags & DOCHOSTUIFLAG_DPI_AWARE);

    handler.Reset();
    ::DestroyWindow(window.Handle());
    RunMessagesFor(std::chrono::milliseconds(0));
    app::mainWindow = nullptr;
    app::page.reset();
}

}  // namespace
}  // namespace autolabel::tests::win32
