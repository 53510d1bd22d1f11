#include "app/win32/window_layout.h"

#include <algorithm>

#include "app/win32/placement.h"

namespace autolabel::app::win32 {

namespace {

constexpr int kDefinitionDpi = 96;

// Edges are scaled, not sizes, so that controls that meet at 96 DPI still meet.
RECT ScaledBounds(const ControlDefinition& control, int dpi) noexcept {
    return RECT{ScaleToDpi(control.left, dpi), ScaleToDpi(control.top, dpi),
                ScaleToDpi(control.left + control.width, dpi),
                ScaleToDpi(control.top + control.height, dpi)};
}

SIZE Extent(const std::vector<RECT>& controls) noexcept {
    SIZE size{0, 0};
    for (const RECT& bounds : controls) {
        size.cx = std::max(size.cx, bounds.right);
        size.cy = std::max(size.cy, bounds.bottom);
    }
    return size;
}

std::vector<RECT> ScaledControls(const WindowDefinition& definition, int dpi) {
    std::vector<RECT> controls;
    for (const ControlDefinition& control : definition.controls)
        controls.push_back(control.kind == ControlKind::Timer ? RECT{}
                                                              : ScaledBounds(control, dpi));
    return controls;
}

}  // namespace

int ScaleToDpi(int length, int dpi) noexcept { return ::MulDiv(length, dpi, kDefinitionDpi); }

RECT DefinedWindowRect(const WindowDefinition& definition, int dpi, const RECT& frame) noexcept {
    const SIZE client = Extent(ScaledControls(definition, dpi));
    const LONG left = ScaleToDpi(definition.left, dpi), top = ScaleToDpi(definition.top, dpi);
    return RECT{left, top, left + frame.left + client.cx + frame.right,
                top + frame.top + client.cy + frame.bottom};
}

WindowLayout LayOutMainWindow(const WindowDefinition& definition, int dpi, const RECT& frame,
                              const RECT& workArea) {
    WindowLayout layout;
    layout.controls = ScaledControls(definition, dpi);
    SIZE client = Extent(layout.controls);
    const LONG roomWidth = workArea.right - workArea.left - frame.left - frame.right;
    const LONG roomHeight = workArea.bottom - workArea.top - frame.top - frame.bottom;

    RECT* browser = nullptr;
    for (size_t i = 0; i < definition.controls.size(); ++i)
        if (definition.controls[i].kind == ControlKind::WebBrowser) browser = &layout.controls[i];
    if (browser && client.cy > roomHeight) {
        // The rows below the browser move up by what it gives up.
        const LONG cut = std::min(client.cy - roomHeight, browser->bottom - browser->top);
        for (RECT& bounds : layout.controls)
            if (&bounds != browser && bounds.top >= browser->bottom) ::OffsetRect(&bounds, 0, -cut);
        browser->bottom -= cut;
    }
    if (browser && client.cx > roomWidth)
        browser->right = std::max(browser->left, std::min(browser->right, roomWidth));
    layout.client = client = Extent(layout.controls);

    const RECT defined = DefinedWindowRect(definition, dpi, frame);
    const RECT window{defined.left, defined.top,
                      defined.left + frame.left + client.cx + frame.right,
                      defined.top + frame.top + client.cy + frame.bottom};
    layout.window = PlaceInWorkArea(window, workArea);
    return layout;
}

}  // namespace autolabel::app::win32
