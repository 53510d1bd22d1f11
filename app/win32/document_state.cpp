#include "app/win32/document_state.h"

#include "page/browser_host/document_window.h"
#include "page/browser_host/value.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"

namespace autolabel::app::win32 {

namespace {

namespace host = browser_host;

// Depth-first in Z order, the first one found: the binding's walk, without
// letting a waiting message run.
host::WindowHandle FindDocumentWindow(host::Platform& platform, host::WindowHandle parent) {
    for (host::WindowHandle child = platform.FindWindowExA(parent, 0, nullptr, nullptr); child;
         child = platform.FindWindowExA(parent, child, nullptr, nullptr)) {
        if (host::IsDocumentWindow(platform, child)) return child;
        if (const host::WindowHandle found = FindDocumentWindow(platform, child)) return found;
    }
    return 0;
}

}  // namespace

DocumentState ReadDocumentState(HWND control) {
    if (!control) return DocumentState::None;
    host::win32::Win32Platform platform;
    const host::WindowHandle window = FindDocumentWindow(platform, host::win32::FromHwnd(control));
    host::DomRef document;
    if (!window || !host::RequestDocument(platform, window, document)) return DocumentState::None;
    return document.Read("readyState").ToText() == "complete" ? DocumentState::Complete
                                                              : DocumentState::Loading;
}

}  // namespace autolabel::app::win32
