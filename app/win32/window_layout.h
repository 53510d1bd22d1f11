// Where the main window and its controls go. The definition's geometry is
// in pixels at 96 DPI; the window is laid out at the system's DPI. Where
// the scaled window does not fit the work area, the browser gives up
// height (and, on a narrow screen, width) so that the two framed rows of
// buttons keep their layout beneath it and the whole window stays inside.
#pragma once

#include <windows.h>

#include <vector>

#include "app/window_definition.h"

namespace autolabel::app::win32 {

// A length of the definition (pixels at 96 DPI) at `dpi`.
int ScaleToDpi(int length, int dpi) noexcept;

struct WindowLayout {
    RECT window{};  // screen coordinates, frame included
    SIZE client{};
    // Client coordinates, one per control of the definition (empty for the timer).
    std::vector<RECT> controls;
};

// In both, `frame` is how far the window's frame reaches beyond its client
// area on each side (nonnegative).

// The window at its defined place and full size at `dpi`: where it would
// open on a screen large enough, and what picks the monitor.
RECT DefinedWindowRect(const WindowDefinition& definition, int dpi, const RECT& frame) noexcept;

// The layout inside `workArea` (screen coordinates).
WindowLayout LayOutMainWindow(const WindowDefinition& definition, int dpi, const RECT& frame,
                              const RECT& workArea);

}  // namespace autolabel::app::win32
