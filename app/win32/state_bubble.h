// The state line over the browser's bottom corner, as a browser shows a
// link's address: a static child of the main window above the control,
// beside the ten defined controls, which it never moves or resizes. It
// shows what app::LabelingRun says, hides when that is nothing, and steps
// to the other corner when the pointer comes near.
#pragma once

#include <windows.h>

#include <string>

#include "support/win32/unique_gdi_object.h"

namespace autolabel::app::win32 {

class StateBubble {
  public:
    // Over `browserArea` (client coordinates of `parent`), above `browser`'s
    // window, drawn in `font`.
    void Create(HWND parent, HWND browser, const RECT& browserArea, HFONT font);
    void Show(const std::string& text);
    // What it shows now; empty while hidden.
    std::wstring Text() const;
    HWND Window() const noexcept { return window_; }
    // The pointer is at `screen`: near the bubble, it steps aside.
    void AvoidPointer(POINT screen);
    // WM_CTLCOLORSTATIC for `control`: its colours, when it is the bubble.
    HBRUSH Colors(HWND control, HDC dc) const;

  private:
    void Place();

    HWND window_ = nullptr;  // destroyed with its parent
    RECT area_{};
    bool atRight_ = false;
    support::win32::UniqueBrush background_;
};

}  // namespace autolabel::app::win32
