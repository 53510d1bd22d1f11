// Real windows for the tests: any class name, document windows that answer
// the document request with a TestDocument, and windows that run a callback
// when a posted message reaches them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/win32/support/test_document.h"

namespace autolabel::tests::win32 {

class TestWindows {
  public:
    TestWindows();  // a hidden top-level frame to build under
    ~TestWindows();
    TestWindows(const TestWindows&) = delete;
    TestWindows& operator=(const TestWindows&) = delete;

    HWND frame() const { return frame_; }
    // A child window of a class of that name, last in its parent's Z order.
    HWND Create(const std::string& className, HWND parent);
    // The window answers the document request with this document (not owned).
    static void Serve(HWND window, TestDocument* document);
    // Runs `handler` when the window receives kRunMessage.
    static void OnRun(HWND window, std::function<void()> handler);
    static constexpr UINT kRunMessage = WM_APP + 1;

    // Document requests answered, in order: the answering window.
    static std::vector<HWND>& answered();

  private:
    HWND frame_ = nullptr;
};

// A document window on a thread of its own that stops handling messages
// for a while: long enough to miss the send's time-out, or, with a message
// left waiting for more than five seconds, to count as hung.
class BlockedDocumentWindow {
  public:
    // `blockMs`: how long the thread blocks right after creating the window
    // (INFINITE: until the window is done with).
    BlockedDocumentWindow(DWORD blockMs, bool leaveMessageWaiting);
    ~BlockedDocumentWindow();
    HWND window() const { return window_; }

  private:
    std::thread thread_;
    HWND window_ = nullptr;
    HANDLE ready_ = nullptr;
    HANDLE done_ = nullptr;
};

// Registers a class of that name with the tests' window procedure; gives
// the module handle to create its windows with.
HINSTANCE RegisterTestClass(const std::string& className);

}  // namespace autolabel::tests::win32
