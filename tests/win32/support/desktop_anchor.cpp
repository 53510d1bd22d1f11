// Keeps Wine's desktop open while the Windows tests run. Wine closes a
// desktop one second after its last user leaves, and the next process that
// needs one starts the desktop's process again with that process's standard
// error: a test's output pipe, which ctest then waits on until the desktop
// goes. Started before the tests, with its output elsewhere, this hidden
// window is a user for the whole run. It writes "anchored" to its standard
// output once the desktop has it, and ends when its process is killed.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"AutolabelDesktopAnchor";
    if (!::RegisterClassW(&windowClass)) return 1;
    // A top-level window, never shown: a user of the desktop, seen by no test.
    if (!::CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1,
                           nullptr, nullptr, instance, nullptr))
        return 1;
    const char anchored[] = "anchored\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), anchored, sizeof anchored - 1, &written,
                nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    return 0;
}
