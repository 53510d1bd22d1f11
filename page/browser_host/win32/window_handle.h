// The tool keeps window handles as signed 32-bit integers. 64-bit Windows
// keeps handles 32-bit significant so that 32- and 64-bit programs can share
// them; a handle is narrowed by truncation and widened by sign extension.
#pragma once

#include <windows.h>

#include <cstdint>

#include "page/browser_host/platform.h"

namespace autolabel::browser_host::win32 {

inline HWND ToHwnd(browser_host::WindowHandle handle) noexcept {
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
}

inline browser_host::WindowHandle FromHwnd(HWND window) noexcept {
    return static_cast<browser_host::WindowHandle>(reinterpret_cast<std::intptr_t>(window));
}

}  // namespace autolabel::browser_host::win32
