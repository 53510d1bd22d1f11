// autolabel.exe itself, started as its own process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Next to the tests in the build tree (the path is set by the build).
std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    for (const char* c = AUTOLABEL_PROGRAM_FROM_TESTS; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;

    explicit Process(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + ProgramPath() + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info);
    }
    ~Process() {
        if (!started) return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(info.hProcess, 99);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    // The exit status, or -1 when it did not end in time.
    long Wait(DWORD milliseconds) const {
        if (::WaitForSingleObject(info.hProcess, milliseconds) != WAIT_OBJECT_0) return -1;
        DWORD status = 0;
        ::GetExitCodeProcess(info.hProcess, &status);
        return static_cast<long>(status);
    }
};

HWND WaitForMainWindow(DWORD processId) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND window = nullptr;
        while ((window = ::FindWindowExW(nullptr, window, L"AutolabelMainWindow",
                                         L"青禾核心用户标注平台自动刷贴器"))) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            // Shown once its controls exist.
            if (owner == processId && ::IsWindowVisible(window)) return window;
        }
        ::Sleep(50);
    }
    return nullptr;
}

TEST(ProgramProcess, MoreThanOneArgumentIsAUsageError) {
    Process program(L"http://a.invalid/ http://b.invalid/");
    ASSERT_TRUE(program.started);
    EXPECT_EQ(program.Wait(20000), 2);
}

TEST(ProgramProcess, ClosingTheWindowWithAutoModeOnExitsNormally) {
    Process program(L"about:blank");
    ASSERT_TRUE(program.started);
    HWND window = WaitForMainWindow(program.info.dwProcessId);
    ASSERT_NE(window, nullptr);
    HWND autoOn = ::FindWindowExW(window, nullptr, L"Button", L"开启自动");
    ASSERT_NE(autoOn, nullptr);
    ::SendMessageW(autoOn, BM_CLICK, 0, 0);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(20000), 0);
}

}  // namespace
