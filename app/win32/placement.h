// Where the main window opens: at its defined position where it fits, else
// moved up and left, as little as needed, into the monitor's work area. A
// window scaled to the system's DPI grows (1040 x 647 is 1560 x 970 at
// 150 %), and a fixed frame cannot be made smaller by the user.
#pragma once

#include <windows.h>

#include <algorithm>

namespace autolabel::app::win32 {

// `window` moved into `workArea` (screen coordinates) by the least shift
// to the left and up; a window larger than the work area keeps its top-left
// corner (caption and system menu) on it.
inline RECT PlaceInWorkArea(const RECT& window, const RECT& workArea) noexcept {
    const LONG width = window.right - window.left, height = window.bottom - window.top;
    const LONG left = std::max(workArea.left, std::min(window.left, workArea.right - width));
    const LONG top = std::max(workArea.top, std::min(window.top, workArea.bottom - height));
    return RECT{left, top, left + width, top + height};
}

// The work area of the monitor that `window` (screen coordinates) opens on,
// the nearest one when it is on none.
inline RECT WorkAreaFor(const RECT& window) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST), &info)) {
        RECT area{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }
    return info.rcWork;
}

}  // namespace autolabel::app::win32
