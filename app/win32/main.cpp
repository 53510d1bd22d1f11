// autolabel.exe: the Windows program.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "app/win32/main_window.h"
#include "app/win32/no_forum_page.h"
#include "app/win32/windows_program.h"
#include "app/window_definition.h"
#include "page/browser_host/win32/win32_platform.h"
#include "support/win32/utf16.h"

namespace {

// The arguments as UTF-8, read from the wide command line so that an address
// outside the ANSI code page survives.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(autolabel::support::win32::WideToUtf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

// A windowed program has no console of its own: the text goes to standard
// error where the starter gave one (a pipe or a file), to the console of
// the shell that started it, or else into a message box.
void ShowUsage(const std::string& usage) {
    const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD written = 0;
    if (error && error != INVALID_HANDLE_VALUE &&
        ::WriteFile(error, usage.data(), static_cast<DWORD>(usage.size()), &written, nullptr))
        return;
    const std::wstring text = autolabel::support::win32::Utf8ToWide(usage);
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        const HANDLE console = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
        const bool shown = console != INVALID_HANDLE_VALUE &&
                           ::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()),
                                           &written, nullptr);
        if (console != INVALID_HANDLE_VALUE) ::CloseHandle(console);
        ::FreeConsole();
        if (shown) return;
    }
    ::MessageBoxW(nullptr, text.c_str(), L"autolabel", MB_OK | MB_ICONERROR);
}

}  // namespace

int main() {
    using namespace autolabel;
    const std::vector<std::string> arguments = Utf8Arguments();
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(arguments.size());

    const auto commandLine = app::ParseCommandLine(argc, argv.data());
    if (!commandLine) {
        const std::string usage = app::UsageText(argc > 0 ? argv[0] : "autolabel");
        ShowUsage(usage);
        return 2;
    }
    const std::string address = app::win32::ProgramStartAddress(*commandLine);

    // Static: the exit routine may still use the platform when the process ends.
    static browser_host::win32::Win32Platform platform;
    static app::win32::MainWindow window;
    return app::win32::RunWindowsProgram(platform, window, address);
}
