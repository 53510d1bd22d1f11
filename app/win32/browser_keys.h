// A key message for the control, in the terms of the browser's key rules
// (app/browser_keys.h).
#pragma once

#include <windows.h>

#include "app/browser_keys.h"

namespace autolabel::app::win32 {

// Whether `message` is a key going down (WM_KEYDOWN or WM_SYSKEYDOWN).
bool IsKeyDown(const MSG& message) noexcept;

// The key of `message` with the modifiers held. Whether the focus is where
// text is typed is left for the caller to fill in where it matters (for
// Backspace): the answer takes calls into the page's documents.
KeyPress KeyPressOf(const MSG& message);

}  // namespace autolabel::app::win32
