// The automatic mode around a page's modal loop: a click whose page runs a
// dialog keeps the window's messages coming inside the click; ticks there
// start no pass, while ticks dispatched by the binding's walk still run
// their command inside the binding.
#include <windows.h>
#include <gtest/gtest.h>

#include <chrono>

#include "tests/win32/support/main_window_fixture.h"
#include "tests/win32/support/test_document.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
namespace {

// A dialog's own loop, as the control runs it for an alert: plain dispatch.
void RunModalLoopFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    MSG message;
    while (std::chrono::steady_clock::now() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

class ModalLoopTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // The page's document window where the control puts it.
        view = ::GetWindow(Control("超文本浏览框1"), GW_CHILD);
        ASSERT_NE(view, nullptr);
        document = new TestDocument();
        document->Add({.type = L"radio", .name = L"g"});
        document->Add({.tag = L"button", .name = L"skip"});
        document->Add({.tag = L"button", .name = L"submit"});  // the second: the one pressed
    }
    void TearDown() override {
        MainWindowTest::TearDown();  // the page releases what it holds
        if (!document) return;
        EXPECT_EQ(document->References(), 1u);
        document->Release();
    }
    void ServeDocumentBelow(HWND parent) {
        HWND server = windows.Create("Internet Explorer_Server", parent);
        TestWindows::Serve(server, document);
    }

    TestWindows windows;
    HWND view = nullptr;
    TestDocument* document = nullptr;
};

TEST_F(ModalLoopTest, NoPassStartsInsideAPagesModalLoopAndTheTicksGoOnAfterIt) {
    ServeDocumentBelow(view);
    constexpr int kPeriod = app::kAutoPeriodMs;
    bool dialogShown = false;
    int bindingsInDialog = -1, ticksInDialog = -1;
    document->element(2).onClick = [&] {
        if (dialogShown) return;
        dialogShown = true;
        const int bindings = platform.isWindow, ticks = window.browserReads;
        RunModalLoopFor(std::chrono::milliseconds(2 * kPeriod + kPeriod / 3));
        bindingsInDialog = platform.isWindow - bindings;
        ticksInDialog = window.browserReads - ticks;
    };
    Click("按钮4");  // the automatic mode on
    // Until a pass after the dialog has pressed the page's control again.
    EXPECT_TRUE(RunMessagesUntil(
        "a pass after the dialog", [&] { return document->element(2).clicks >= 2; },
        [&] { return std::to_string(document->element(2).clicks) + " presses of the control"; },
        std::chrono::milliseconds(8 * kPeriod)));
    Click("按钮3");

    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(bindingsInDialog, 0);
    EXPECT_EQ(ticksInDialog, 0);
    // A pass after the dialog ran and pressed the page's control again.
    EXPECT_EQ(document->element(2).clicks, 2);
    EXPECT_TRUE(document->element(0).checked());
}

// A page in the newest document mode has no `all` on its body: a lookup
// that found nothing there reloaded the page at every tick, for ever.
TEST_F(ModalLoopTest, WithoutTheBodysAllTheAutomaticPassTicksAndSubmitsWithoutReloading) {
    document->bodyHasAll = false;
    ServeDocumentBelow(view);
    Click("按钮4");  // the automatic mode on
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(4 * app::kAutoPeriodMs);
    while (document->element(2).clicks < 1 && std::chrono::steady_clock::now() < deadline)
        RunMessagesFor(std::chrono::milliseconds(100));
    Click("按钮3");
    EXPECT_EQ(document->element(2).clicks, 1) << "awaited one automatic pass pressing submit";
    EXPECT_TRUE(document->element(0).checked());
    EXPECT_EQ(window.reloads, 0);
}

TEST_F(ModalLoopTest, ATickWaitingWhenTheBindingsWalkMovesOnRunsItsCommandInsideTheBinding) {
    // The walk passes a window without the document first, and dispatches
    // what is waiting when it moves on to the document window after it.
    windows.Create("AutolabelTestSibling", view);
    ServeDocumentBelow(view);
    window.SetTimerPeriod(50);
    // Until a tick falls due, without taking it from the queue.
    const auto due = [] { return (HIWORD(::GetQueueStatus(QS_TIMER)) & QS_TIMER) != 0; };
    for (int waited = 0; !due() && waited < 10000; waited += 5) ::Sleep(5);
    ASSERT_TRUE(due()) << "no tick due 10 s after a period of 50 ms";
    platform.onBindingInWalk = [&] { window.SetTimerPeriod(0); };
    window.browserReads = 0;
    Click("按钮2");
    EXPECT_GE(platform.bindingsInWalk, 1);
    EXPECT_EQ(window.browserReads, 1);  // the tick's pass, inside the click's binding
    // Both the nested pass and the click pressed the page's control.
    EXPECT_EQ(document->element(2).clicks, 2);
}

}  // namespace
}  // namespace autolabel::tests::win32
