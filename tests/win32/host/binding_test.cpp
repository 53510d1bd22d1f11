// Binding on real windows: the walk below the browser's window, the document
// request over oleacc, and the outcomes of every kind of window met.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "page/browser_host/win32/dispatch_object.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "page/page_automation.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
using namespace browser_host::win32;

namespace {

using browser_host::DomRef;

constexpr const char* kServer = "Internet Explorer_Server";

class BindingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        first = new TestDocument();
        second = new TestDocument();
        browser = windows.Create("Shell Embedding", windows.frame());
        view = windows.Create("Shell DocObject View", browser);
        server = windows.Create(kServer, view);
        TestWindows::Serve(server, first);
    }
    void TearDown() override {
        page.pageDocument.Reset();
        // Whatever binding did, nothing of ours stays referenced.
        EXPECT_EQ(first->References(), 1u);
        EXPECT_EQ(second->References(), 1u);
        first->Release();
        second->Release();
    }
    IDispatch* Held() const { return DispatchObject::DispatchOf(page.pageDocument); }
    static IDispatch* Of(TestDocument* document) { return static_cast<IDispatch*>(document); }

    Win32Platform platform;
    TestWindows windows;
    automation::PageAutomation page{platform};
    TestDocument* first = nullptr;
    TestDocument* second = nullptr;
    HWND browser = nullptr, view = nullptr, server = nullptr;
};

TEST_F(BindingTest, FindsTheDocumentWindowBelowTheBrowser) {
    EXPECT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_EQ(page.boundWindow, FromHwnd(browser));
    EXPECT_EQ(Held(), Of(first));
    EXPECT_EQ(first->References(), 2u);  // the one page holds
    EXPECT_EQ(TestWindows::answered(), std::vector<HWND>{server});
}

TEST_F(BindingTest, NoWindowChangesNothing) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_FALSE(page.BindWindow(0));
    HWND gone = windows.Create("Shell Embedding", windows.frame());
    ::DestroyWindow(gone);
    EXPECT_FALSE(page.BindWindow(FromHwnd(gone)));
    EXPECT_EQ(page.boundWindow, FromHwnd(browser));
    EXPECT_EQ(Held(), Of(first));
}

TEST_F(BindingTest, AWindowWithoutDocumentWindowKeepsTheEarlierDocument) {
    HWND button = windows.Create("AutolabelButton", windows.frame());
    EXPECT_FALSE(page.BindWindow(FromHwnd(button)));  // nothing held yet
    EXPECT_EQ(page.boundWindow, FromHwnd(button));
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_TRUE(page.BindWindow(FromHwnd(button)));
    EXPECT_EQ(page.boundWindow, FromHwnd(button));
    EXPECT_EQ(Held(), Of(first));
}

TEST_F(BindingTest, LookAlikeClassesAreNotDocumentWindows) {
    HWND host = windows.Create("Shell Embedding", windows.frame());
    const std::string longName = std::string(kServer) + std::string(30, '_');  // 54 characters
    std::vector<HWND> lookAlikes;
    for (const std::string& name :
         {std::string("internet explorer_server"), std::string("INTERNET EXPLORER_SERVER"),
          std::string(kServer) + "2", std::string("Internet Explorer_Serve"), longName}) {
        lookAlikes.push_back(windows.Create(name, host));
        TestWindows::Serve(lookAlikes.back(), second);
    }
    HWND real = windows.Create(kServer, host);
    TestWindows::Serve(real, first);

    EXPECT_TRUE(page.BindWindow(FromHwnd(host)));
    EXPECT_EQ(Held(), Of(first));
    EXPECT_EQ(TestWindows::answered(), std::vector<HWND>{real});
}

TEST_F(BindingTest, SearchesDepthFirstInZOrder) {
    HWND host = windows.Create("Shell Embedding", windows.frame());
    HWND branch = windows.Create("Branch", host);
    HWND deep = windows.Create(kServer, windows.Create("Leaf", branch));
    HWND sibling = windows.Create(kServer, host);
    TestWindows::Serve(deep, first);
    TestWindows::Serve(sibling, second);
    EXPECT_EQ(page.FindDocumentWindow(FromHwnd(host)), FromHwnd(deep));
    EXPECT_TRUE(page.BindWindow(FromHwnd(host)));
    EXPECT_EQ(Held(), Of(first));
}

TEST_F(BindingTest, TheDocumentWindowItselfIsAskedWithoutSearching) {
    HWND inner = windows.Create(kServer, server);  // would be found by a search
    TestWindows::Serve(inner, second);
    DomRef target;
    EXPECT_TRUE(page.AcquireDocument(FromHwnd(server), target));
    EXPECT_EQ(DispatchObject::DispatchOf(target), Of(first));
    // The browser's own window is tested once, then only its descendants.
    EXPECT_EQ(page.FindDocumentWindow(FromHwnd(server)), FromHwnd(inner));
}

TEST_F(BindingTest, BindingAgainHoldsOneReference) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_EQ(first->References(), 2u);
    DomRef target;
    ASSERT_TRUE(page.AcquireDocument(FromHwnd(browser), target));
    ASSERT_TRUE(page.AcquireDocument(FromHwnd(browser), target));
    EXPECT_EQ(first->References(), 3u);
}

TEST_F(BindingTest, ANewPageReplacesAndReleasesTheOldDocument) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    TestWindows::Serve(server, second);
    EXPECT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_EQ(Held(), Of(second));
    EXPECT_EQ(first->References(), 1u);
}

TEST_F(BindingTest, AReplyWithoutDocumentEmptiesTheHolder) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    TestWindows::Serve(server, nullptr);  // answers 0
    EXPECT_FALSE(page.BindWindow(FromHwnd(browser)));
    EXPECT_FALSE(page.pageDocument);
    EXPECT_EQ(first->References(), 1u);
}

TEST_F(BindingTest, AWindowThatDoesNotAnswerInTimeEmptiesTheHolder) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    BlockedDocumentWindow blocked(2500, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(page.BindWindow(FromHwnd(blocked.window())));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(page.pageDocument);
    EXPECT_EQ(page.boundWindow, FromHwnd(blocked.window()));
    EXPECT_EQ(first->References(), 1u);
    // It gave up at the time-out, not at once (the window was not hung).
    EXPECT_GE(waited, std::chrono::milliseconds(900));
}

TEST_F(BindingTest, AHungWindowEmptiesTheHolder) {
    ASSERT_TRUE(page.BindWindow(FromHwnd(browser)));
    // Blocked until the end of the test.
    BlockedDocumentWindow hung(INFINITE, true);
    // A message left unread for five seconds makes a thread hung.
    for (int waited = 0; !::IsHungAppWindow(hung.window()) && waited < 20000; waited += 50)
        ::Sleep(50);
    ASSERT_TRUE(::IsHungAppWindow(hung.window())) << "not hung 20 s after it stopped";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(page.BindWindow(FromHwnd(hung.window())));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(page.pageDocument);
    EXPECT_EQ(first->References(), 1u);
    // SMTO_ABORTIFHUNG: no waiting for the time-out.
    EXPECT_LT(waited, std::chrono::milliseconds(900));
}

// --- messages waiting during the walk ---------------------------------------

class WalkMessagesTest : public BindingTest {
  protected:
    void SetUp() override {
        BindingTest::SetUp();
        runner = windows.Create("Runner", windows.frame());
    }
    void Queue(std::function<void()> command) {
        TestWindows::OnRun(runner, std::move(command));
        ::PostMessageA(runner, TestWindows::kRunMessage, 0, 0);
    }
    HWND runner = nullptr;
};

TEST_F(WalkMessagesTest, AChainOfSingleChildrenDispatchesNothing) {
    int ran = 0;
    Queue([&] { ++ran; });
    EXPECT_TRUE(page.BindWindow(FromHwnd(browser)));
    EXPECT_EQ(ran, 0);
    platform.DispatchWaitingMessages();
    EXPECT_EQ(ran, 1);
}

TEST_F(WalkMessagesTest, AParentWithoutChildrenDispatchesNothing) {
    int ran = 0;
    Queue([&] { ++ran; });
    EXPECT_EQ(page.FindDocumentWindow(FromHwnd(windows.Create("Empty", windows.frame()))), 0);
    EXPECT_EQ(ran, 0);
}

TEST_F(WalkMessagesTest, MovingToANextSiblingDispatchesWhatWaits) {
    HWND host = windows.Create("Shell Embedding", windows.frame());
    windows.Create("Before", host);
    HWND document = windows.Create(kServer, host);
    TestWindows::Serve(document, first);
    std::vector<std::string> order;
    Queue([&] { order.push_back("command"); });
    TestWindows::OnRun(document, nullptr);
    EXPECT_TRUE(page.BindWindow(FromHwnd(host)));
    order.push_back("bound");
    EXPECT_EQ(order, (std::vector<std::string>{"command", "bound"}));
}

TEST_F(WalkMessagesTest, ACommandQueuedThereBindsInsideTheBinding) {
    HWND host = windows.Create("Shell Embedding", windows.frame());
    windows.Create("Before", host);
    HWND outerDocument = windows.Create(kServer, host);
    TestWindows::Serve(outerDocument, second);
    // The nested command binds the same object to the browser.
    bool nestedBound = false;
    IDispatch* nestedHeld = nullptr;
    Queue([&] {
        nestedBound = page.BindWindow(FromHwnd(browser));
        nestedHeld = Held();
    });
    EXPECT_TRUE(page.BindWindow(FromHwnd(host)));
    EXPECT_TRUE(nestedBound);
    EXPECT_EQ(nestedHeld, Of(first));
    // The outer binding ends last and decides what is held; the bound window
    // is the one the nested binding stored after the outer one's.
    EXPECT_EQ(TestWindows::answered(), (std::vector<HWND>{server, outerDocument}));
    EXPECT_EQ(page.boundWindow, FromHwnd(browser));
    EXPECT_EQ(Held(), Of(second));
    EXPECT_EQ(first->References(), 1u);
}

TEST_F(WalkMessagesTest, AWindowDestroyedDuringTheWalkEndsThatLevel) {
    HWND host = windows.Create("Shell Embedding", windows.frame());
    windows.Create("Before", host);
    HWND next = windows.Create("Next", host);
    HWND document = windows.Create(kServer, host);
    TestWindows::Serve(document, first);
    Queue([&] { ::DestroyWindow(next); });  // the child the walk moves on to
    EXPECT_EQ(page.FindDocumentWindow(FromHwnd(host)), 0);
    EXPECT_FALSE(::IsWindow(next));
}

}  // namespace
}  // namespace autolabel::tests::win32
