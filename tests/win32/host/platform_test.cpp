// The real platform calls behind the page automation object.
#include <windows.h>
#include <gtest/gtest.h>
#include <mshtml.h>
#include <oleacc.h>

#include <cstring>

#include "page/browser_host/win32/dispatch_object.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
using namespace browser_host::win32;

namespace {

using namespace browser_host;

TEST(WindowHandle, NarrowsAndWidensWithTheSign) {
    // Handles are 32 bits significant; a negative one must come back as the
    // same 64-bit handle, which zero extension would not give.
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ToHwnd(-2)), -2);
    EXPECT_EQ(FromHwnd(ToHwnd(-2)), -2);
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(ToHwnd(0x7ffffff0)), 0x7ffffff0);
    EXPECT_EQ(ToHwnd(0), nullptr);
}

class PlatformTest : public ::testing::Test {
  protected:
    Win32Platform platform;
    TestWindows windows;
};

TEST_F(PlatformTest, TellsLiveWindowsFromDestroyedOnes) {
    HWND child = windows.Create("AutolabelPlain", windows.frame());
    const auto handle = FromHwnd(child);
    EXPECT_TRUE(platform.IsWindow(handle));
    EXPECT_FALSE(platform.IsWindow(0));
    ::DestroyWindow(child);
    EXPECT_FALSE(platform.IsWindow(handle));
}

TEST_F(PlatformTest, WalksChildrenInZOrderFirstCreatedFirst) {
    HWND first = windows.Create("AutolabelPlain", windows.frame());
    HWND second = windows.Create("AutolabelPlain", windows.frame());
    const auto frame = FromHwnd(windows.frame());
    EXPECT_EQ(platform.FindWindowExA(frame, 0, nullptr, nullptr), FromHwnd(first));
    EXPECT_EQ(platform.FindWindowExA(frame, FromHwnd(first), nullptr, nullptr), FromHwnd(second));
    EXPECT_EQ(platform.FindWindowExA(frame, FromHwnd(second), nullptr, nullptr), 0);
    EXPECT_EQ(platform.FindWindowExA(FromHwnd(first), 0, nullptr, nullptr), 0);
}

TEST_F(PlatformTest, ReadsClassNamesCutToTheBuffer) {
    const std::string longName(60, 'L');
    HWND window = windows.Create(longName, windows.frame());
    char buffer[50];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(platform.GetClassNameA(FromHwnd(window), buffer, sizeof buffer), 49);
    EXPECT_EQ(std::string(buffer), longName.substr(0, 49));

    HWND server = windows.Create("Internet Explorer_Server", windows.frame());
    EXPECT_EQ(platform.GetClassNameA(FromHwnd(server), buffer, sizeof buffer), 24);
    EXPECT_STREQ(buffer, "Internet Explorer_Server");
    EXPECT_EQ(platform.GetClassNameA(0, buffer, sizeof buffer), 0);
}

TEST_F(PlatformTest, RegistersTheSameMessageAsTheSystem) {
    const std::uint32_t message = platform.RegisterWindowMessageA("WM_HTML_GETOBJECT");
    EXPECT_GE(message, 0xC000u);
    EXPECT_EQ(message, ::RegisterWindowMessageW(L"WM_HTML_GETOBJECT"));
}

TEST_F(PlatformTest, FetchesADocumentFromItsWindow) {
    auto* document = new TestDocument();
    const ULONG before = document->References();
    HWND server = windows.Create("Internet Explorer_Server", windows.frame());
    TestWindows::Serve(server, document);
    const std::uint32_t message = platform.RegisterWindowMessageA("WM_HTML_GETOBJECT");

    std::uintptr_t reply = 0;
    EXPECT_NE(platform.SendMessageTimeoutA(FromHwnd(server), message, 0, 0,
                                           browser_host::kSendAbortIfHung, 1000, &reply),
              0);
    ASSERT_NE(reply, 0u);
    {
        DomRef object;
        EXPECT_EQ(platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                             kIidHtmlDocument, 0, object),
                  browser_host::kHresultOk);
        ASSERT_TRUE(object);
        EXPECT_EQ(DispatchObject::DispatchOf(object), static_cast<IDispatch*>(document));
        // An answer is good for one object only.
        DomRef again;
        EXPECT_NE(platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                             kIidHtmlDocument, 0, again),
                  browser_host::kHresultOk);
        EXPECT_FALSE(again);
    }
    EXPECT_EQ(document->References(), before);
    document->Release();
}

TEST_F(PlatformTest, AnEmptyReplyGivesNoObject) {
    DomRef object;
    EXPECT_NE(platform.ObjectFromLresult(0, kIidHtmlDocument, 0, object), browser_host::kHresultOk);
    EXPECT_FALSE(object);
}

TEST_F(PlatformTest, DispatchesEveryWaitingMessageAndDoesNotWait) {
    int handled = 0;
    HWND runner = windows.Create("AutolabelRunner", windows.frame());
    TestWindows::OnRun(runner, [&] { ++handled; });
    for (int i = 0; i < 3; ++i) ::PostMessageA(runner, TestWindows::kRunMessage, 0, 0);
    platform.DispatchWaitingMessages();
    EXPECT_EQ(handled, 3);
    platform.DispatchWaitingMessages();  // nothing waits: returns at once
    EXPECT_EQ(handled, 3);
}

TEST_F(PlatformTest, LeavesTheQuitMessageForTheLoop) {
    ::PostQuitMessage(7);
    platform.DispatchWaitingMessages();
    MSG message;
    ASSERT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 7u);
}

}  // namespace
}  // namespace autolabel::tests::win32
