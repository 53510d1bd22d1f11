#include "tests/win32/support/test_windows.h"

#include <mshtml.h>
#include <oleacc.h>

#include <map>
#include <mutex>

#include "page/browser_host/ascii_case.h"

namespace autolabel::tests::win32 {

using browser_host::AsciiLower;

namespace {

struct WindowState {
    TestDocument* document = nullptr;
    std::function<void()> run;
};

// Blocked document windows live on threads of their own.
std::mutex statesLock;

std::map<HWND, WindowState>& States() {
    static std::map<HWND, WindowState> states;
    return states;
}

WindowState StateOf(HWND window) {
    std::lock_guard lock(statesLock);
    auto found = States().find(window);
    return found == States().end() ? WindowState{} : found->second;
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT documentRequest = ::RegisterWindowMessageA("WM_HTML_GETOBJECT");
    if (message == documentRequest) {
        TestDocument* document = StateOf(window).document;
        if (!document) return 0;
        TestWindows::answered().push_back(window);
        return ::LresultFromObject(IID_IHTMLDocument, wParam, document);
    }
    if (message == TestWindows::kRunMessage) {
        // A copy: the handler may destroy the window.
        if (auto run = StateOf(window).run) run();
        return 0;
    }
    if (message == WM_NCDESTROY) {
        std::lock_guard lock(statesLock);
        States().erase(window);
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// Window classes are told apart by name without regard to case, per module.
// A class whose name differs from another's only in case is registered
// under another module handle, which keeps it a class of its own.
HINSTANCE RegisterTestClass(const std::string& className) {
    static std::map<std::string, HINSTANCE> registered;
    static std::map<std::string, int> spellings;
    if (auto found = registered.find(className); found != registered.end()) return found->second;
    const std::string folded = AsciiLower(className);
    static const HINSTANCE modules[] = {
        ::GetModuleHandleA(nullptr), ::GetModuleHandleA("oleacc.dll"),
        ::GetModuleHandleA("ole32.dll"), ::GetModuleHandleA("oleaut32.dll")};
    const int spelling = spellings[folded]++;
    const HINSTANCE module = modules[spelling % 4];
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className.c_str();
    ::RegisterClassA(&windowClass);
    registered[className] = module;
    return module;
}

std::vector<HWND>& TestWindows::answered() {
    static std::vector<HWND> windows;
    return windows;
}

TestWindows::TestWindows() {
    RegisterTestClass("AutolabelTestFrame");
    frame_ = ::CreateWindowExA(0, "AutolabelTestFrame", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                               nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    answered().clear();
}

TestWindows::~TestWindows() {
    if (::IsWindow(frame_)) ::DestroyWindow(frame_);
    // Leave nothing behind for the next test.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageA(&message);
    }
}

HWND TestWindows::Create(const std::string& className, HWND parent) {
    const HINSTANCE module = RegisterTestClass(className);
    return ::CreateWindowExA(0, className.c_str(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent,
                             nullptr, module, nullptr);
}

void TestWindows::Serve(HWND window, TestDocument* document) {
    std::lock_guard lock(statesLock);
    States()[window].document = document;
}

void TestWindows::OnRun(HWND window, std::function<void()> handler) {
    std::lock_guard lock(statesLock);
    States()[window].run = std::move(handler);
}

BlockedDocumentWindow::BlockedDocumentWindow(DWORD blockMs, bool leaveMessageWaiting)
    : ready_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      done_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    const HINSTANCE module = RegisterTestClass("Internet Explorer_Server");
    thread_ = std::thread([this, module, blockMs, leaveMessageWaiting] {
        HWND window = ::CreateWindowExA(0, "Internet Explorer_Server", "", WS_OVERLAPPED, 0, 0, 10,
                                        10, nullptr, nullptr, module, nullptr);
        MSG message;
        ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread has a queue now
        // A message nobody takes is what makes a thread count as hung.
        if (leaveMessageWaiting) ::PostMessageA(window, WM_NULL, 0, 0);
        window_ = window;
        ::SetEvent(ready_);
        // Blocked until the time is up or the window is done with.
        ::WaitForSingleObject(done_, blockMs);
        while (::WaitForSingleObject(done_, 10) == WAIT_TIMEOUT) {
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        }
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(ready_, INFINITE);
}

BlockedDocumentWindow::~BlockedDocumentWindow() {
    ::SetEvent(done_);
    thread_.join();
    ::CloseHandle(ready_);
    ::CloseHandle(done_);
}

}  // namespace autolabel::tests::win32
