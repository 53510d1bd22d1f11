// One window class per kind of window of ours, its procedure handing every
// message to the object given at creation (CreateWindowEx's last argument).
#pragma once

#include <windows.h>

namespace autolabel::support::win32 {

// `T` has a member `HWND window_` and `LRESULT HandleMessage(UINT, WPARAM,
// LPARAM)`, and names this procedure a friend.
template <typename T>
LRESULT CALLBACK ObjectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<T*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

// Registers the class once; a second window finds it registered.
inline void RegisterObjectWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    // The program's own icon (resource 1), where the module has one.
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    windowClass.hIcon = ::LoadIconW(module, MAKEINTRESOURCEW(1));
    if (!windowClass.hIcon) windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    ::RegisterClassExW(&windowClass);
}

}  // namespace autolabel::support::win32
