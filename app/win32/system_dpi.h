// The system's DPI, as a system-DPI-aware program sees it (96 is 100 %).
#pragma once

#include <windows.h>

namespace autolabel::app::win32 {

inline int SystemDpi() noexcept {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

}  // namespace autolabel::app::win32
