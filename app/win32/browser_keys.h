// A key message for the control, in the terms of the browser's key rules
// (app/browser_keys.h).
#pragma once

#include <windows.h>

#include <functional>

#include "app/browser_keys.h"

namespace autolabel::app::win32 {

// Whether `message` is a key going down (WM_KEYDOWN or WM_SYSKEYDOWN).
bool IsKeyDown(const MSG& message) noexcept;

// The key of `message` with the modifiers held. Whether the focus is where
// text is typed is asked, through `focusIsEditable`, only for Backspace:
// the answer takes calls into the page's documents.
KeyPress KeyPressOf(const MSG& message, const std::function<bool()>& focusIsEditable);

}  // namespace autolabel::app::win32
