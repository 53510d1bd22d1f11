#include "app/win32/state_bubble.h"

#include <commctrl.h>

#include "support/win32/utf16.h"

namespace autolabel::app::win32 {

namespace {

constexpr int kMargin = 4;
constexpr int kPadding = 8;
// How near the pointer may come before the bubble steps aside.
constexpr int kPointerReach = 24;
constexpr COLORREF kBackground = RGB(32, 40, 36);
constexpr COLORREF kForeground = RGB(244, 247, 244);

}  // namespace

void StateBubble::Create(HWND parent, HWND browser, const RECT& browserArea, HFONT font) {
    area_ = browserArea;
    background_.Reset(::CreateSolidBrush(kBackground));
    window_ = ::CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | SS_CENTER | SS_CENTERIMAGE,
                                area_.left + kMargin, area_.bottom - kMargin, 0, 0, parent, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    if (!window_) return;
    if (font) ::SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The control's window would paint over a sibling above it otherwise.
    if (browser)
        ::SetWindowLongPtrW(browser, GWL_STYLE,
                            ::GetWindowLongPtrW(browser, GWL_STYLE) | WS_CLIPSIBLINGS);
}

void StateBubble::Show(const std::string& text) {
    if (!window_) return;
    if (text.empty()) {
        ::ShowWindow(window_, SW_HIDE);
        return;
    }
    const std::wstring wide = support::win32::Utf8ToWide(text);
    if (wide != Text() || !::IsWindowVisible(window_)) ::SetWindowTextW(window_, wide.c_str());
    Place();
    ::SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::ShowWindow(window_, SW_SHOWNOACTIVATE);
}

std::wstring StateBubble::Text() const {
    if (!window_ || !::IsWindowVisible(window_)) return {};
    wchar_t text[256] = {};
    ::GetWindowTextW(window_, text, 256);
    return text;
}

void StateBubble::Place() {
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(window_, text, 256);
    HDC dc = ::GetDC(window_);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text, length, &size);
    if (old) ::SelectObject(dc, old);
    ::ReleaseDC(window_, dc);
    const int width = size.cx + 2 * kPadding, height = size.cy + kPadding;
    const int left = atRight_ ? area_.right - width - kMargin : area_.left + kMargin;
    ::SetWindowPos(window_, nullptr, left, area_.bottom - height - kMargin, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void StateBubble::AvoidPointer(POINT screen) {
    if (!window_ || !::IsWindowVisible(window_)) return;
    RECT bubble{};
    ::GetWindowRect(window_, &bubble);
    ::InflateRect(&bubble, kPointerReach, kPointerReach);
    if (!::PtInRect(&bubble, screen)) return;
    atRight_ = !atRight_;
    Place();
}

HBRUSH StateBubble::Colors(HWND control, HDC dc) const {
    if (!window_ || control != window_) return nullptr;
    ::SetTextColor(dc, kForeground);
    ::SetBkColor(dc, kBackground);
    return background_.Get();
}

}  // namespace autolabel::app::win32
