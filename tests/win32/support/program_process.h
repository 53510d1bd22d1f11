// autolabel.exe started as its own process by a test, and its main window.
#pragma once

#include <windows.h>

#include <string>

namespace autolabel::tests::win32 {

// Next to the tests in the build tree (the path is set by the build).
inline std::wstring ProgramPath() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.erase(path.find_last_of(L"\\/") + 1);
    for (const char* c = AUTOLABEL_PROGRAM_FROM_TESTS; *c; ++c)
        path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

struct Process {
    PROCESS_INFORMATION info{};
    bool started = false;
    HANDLE nul_ = INVALID_HANDLE_VALUE;

    // `errorOutput`, `output`: where the program's standard error and
    // output go (NUL if none); `program`: another program than autolabel.exe.
    explicit Process(const std::wstring& arguments, HANDLE errorOutput = nullptr,
                     const std::wstring& program = ProgramPath(), HANDLE output = nullptr) {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        // Output to NUL: nothing the program starts may hold the tests' own
        // output open after they end.
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        nul_ =
            ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = startup.hStdOutput = startup.hStdError = nul_;
        if (errorOutput) startup.hStdError = errorOutput;
        if (output) startup.hStdOutput = output;
        started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &info);
    }
    ~Process() {
        if (nul_ != INVALID_HANDLE_VALUE) ::CloseHandle(nul_);
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

// A bound for a loaded machine, where starting a process under Wine is slow.
inline HWND WaitForMainWindow(DWORD processId) {
    for (int attempt = 0; attempt < 600; ++attempt) {
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

}  // namespace autolabel::tests::win32
