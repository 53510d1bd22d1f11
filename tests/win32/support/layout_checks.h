// What every layout of the main window must hold, on rectangles or read
// back from a real window (in this process or another): inside the work
// area, every button with it; the browser giving up only what does not fit;
// the framed rows of buttons beneath it as the definition has them, scaled.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/win32/window_layout.h"
#include "app/window_definition.h"

namespace autolabel::tests::win32 {

using app::ControlDefinition;
using app::ControlKind;
using app::MainWindowDefinition;
using app::WindowDefinition;
using app::win32::LayOutMainWindow;
using app::win32::ScaleToDpi;
using app::win32::WindowLayout;

inline std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

inline bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// `layout` for a window with `frame` at `dpi` in `workArea`.
inline void ExpectFitsAndKeepsTheRows(const WindowLayout& layout, const RECT& frame,
                                      const RECT& workArea, int dpi) {
    const WindowDefinition& definition = MainWindowDefinition();
    SCOPED_TRACE("work area " + Describe(workArea) + ", " + std::to_string(dpi) + " DPI, window " +
                 Describe(layout.window));
    ASSERT_EQ(layout.controls.size(), definition.controls.size());
    const LONG fullHeight = ScaleToDpi(608, dpi);
    const LONG roomWidth = workArea.right - workArea.left - frame.left - frame.right;
    const LONG roomHeight = workArea.bottom - workArea.top - frame.top - frame.bottom;
    // A work area narrower than the buttons' row at this DPI (no scaling
    // that Windows offers for a screen makes one) keeps only the height.
    LONG rowsWidth = 0;
    for (size_t i = 0; i < definition.controls.size(); ++i)
        if (definition.controls[i].kind != ControlKind::WebBrowser)
            rowsWidth = std::max<LONG>(rowsWidth, layout.controls[i].right);
    const bool rowsFit = rowsWidth <= roomWidth;
    const auto inside = [&](const RECT& r) {
        return rowsFit ? Inside(r, workArea)
                       : r.top >= workArea.top && r.bottom <= workArea.bottom &&
                             r.left >= workArea.left;
    };
    EXPECT_TRUE(inside(layout.window)) << "the window inside the work area";
    EXPECT_EQ(layout.window.right - layout.window.left,
              frame.left + layout.client.cx + frame.right);
    EXPECT_EQ(layout.window.bottom - layout.window.top,
              frame.top + layout.client.cy + frame.bottom);
    // Shrunk only where the full window does not fit, then to the room there is.
    EXPECT_EQ(layout.client.cy, std::min<LONG>(fullHeight, roomHeight));

    size_t browserIndex = 0;
    for (size_t i = 0; i < definition.controls.size(); ++i)
        if (definition.controls[i].kind == ControlKind::WebBrowser) browserIndex = i;
    const RECT& browser = layout.controls[browserIndex];
    const ControlDefinition& defined = definition.controls[browserIndex];
    EXPECT_EQ(browser.left, 0);
    EXPECT_EQ(browser.top, 0);
    EXPECT_EQ(browser.right, std::min<LONG>(ScaleToDpi(defined.width, dpi), roomWidth));
    // The browser's height is what the rows beneath it leave.
    const LONG rows = fullHeight - ScaleToDpi(defined.top + defined.height, dpi);
    EXPECT_EQ(browser.bottom, layout.client.cy - rows) << "browser " << Describe(browser);

    const POINT origin{layout.window.left + frame.left, layout.window.top + frame.top};
    for (size_t i = 0; i < definition.controls.size(); ++i) {
        const ControlDefinition& control = definition.controls[i];
        if (control.kind == ControlKind::Timer || i == browserIndex) continue;
        SCOPED_TRACE(std::string(control.name) + " at " + Describe(layout.controls[i]));
        RECT onScreen = layout.controls[i];
        ::OffsetRect(&onScreen, origin.x, origin.y);
        EXPECT_TRUE(inside(onScreen)) << "on the screen at " << Describe(onScreen);
        // Its place below the browser and its size, as defined and scaled.
        EXPECT_EQ(layout.controls[i].top - browser.bottom,
                  ScaleToDpi(control.top, dpi) - ScaleToDpi(defined.top + defined.height, dpi));
        EXPECT_EQ(layout.controls[i].left, ScaleToDpi(control.left, dpi));
        EXPECT_EQ(layout.controls[i].right, ScaleToDpi(control.left + control.width, dpi));
        EXPECT_EQ(layout.controls[i].bottom - layout.controls[i].top,
                  ScaleToDpi(control.top + control.height, dpi) - ScaleToDpi(control.top, dpi));
    }
}

// The layout of a real main window, read back from its windows.
inline WindowLayout ReadLayout(HWND window, RECT& frame) {
    const WindowDefinition& definition = MainWindowDefinition();
    WindowLayout layout;
    ::GetWindowRect(window, &layout.window);
    RECT client{};
    ::GetClientRect(window, &client);
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    layout.client = SIZE{client.right, client.bottom};
    frame = RECT{origin.x - layout.window.left, origin.y - layout.window.top,
                 layout.window.right - origin.x - client.right,
                 layout.window.bottom - origin.y - client.bottom};
    for (size_t i = 0; i < definition.controls.size(); ++i) {
        const ControlKind kind = definition.controls[i].kind;
        HWND child = kind == ControlKind::WebBrowser
                         ? ::FindWindowExW(window, nullptr, L"Shell Embedding", nullptr)
                         : ::GetDlgItem(window, 100 + static_cast<int>(i));
        RECT bounds{};
        if (child && kind != ControlKind::Timer) {
            ::GetWindowRect(child, &bounds);
            ::OffsetRect(&bounds, -origin.x, -origin.y);
        }
        layout.controls.push_back(bounds);
    }
    return layout;
}

// A real window laid out as the rule says for `workArea` at `dpi`.
inline void ExpectWindowLaidOut(HWND window, const RECT& workArea, int dpi) {
    RECT frame{};
    const WindowLayout real = ReadLayout(window, frame);
    const WindowLayout expected = LayOutMainWindow(MainWindowDefinition(), dpi, frame, workArea);
    EXPECT_TRUE(::EqualRect(&real.window, &expected.window))
        << "window " << Describe(real.window) << ", awaited " << Describe(expected.window);
    for (size_t i = 0; i < real.controls.size(); ++i)
        EXPECT_TRUE(::EqualRect(&real.controls[i], &expected.controls[i]))
            << MainWindowDefinition().controls[i].name << " at " << Describe(real.controls[i])
            << ", awaited " << Describe(expected.controls[i]);
    ExpectFitsAndKeepsTheRows(real, frame, workArea, dpi);
}

}  // namespace autolabel::tests::win32
