#include "app/win32/document_state.h"

#include <cstring>

#include "page/browser_host/document_window.h"
#include "page/browser_host/value.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"

namespace autolabel::app::win32 {

namespace {

namespace host = browser_host;

// The binding's time-out for the document request.
constexpr std::uint32_t kRequestTimeoutMs = 1000;

// Depth-first in Z order, the first one found: the binding's walk.
HWND FindDocumentWindow(HWND parent) {
    for (HWND child = ::FindWindowExA(parent, nullptr, nullptr, nullptr); child;
         child = ::FindWindowExA(parent, child, nullptr, nullptr)) {
        char name[50] = {};
        if (::GetClassNameA(child, name, sizeof name) > 0 &&
            std::strcmp(name, host::kDocumentWindowClass) == 0)
            return child;
        if (HWND found = FindDocumentWindow(child)) return found;
    }
    return nullptr;
}

}  // namespace

DocumentState ReadDocumentState(HWND control) {
    HWND window = control ? FindDocumentWindow(control) : nullptr;
    if (!window) return DocumentState::None;
    host::win32::Win32Platform platform;
    std::uintptr_t reply = 0;
    platform.SendMessageTimeoutA(host::win32::FromHwnd(window),
                                 platform.RegisterWindowMessageA(host::kDocumentRequestMessage), 0,
                                 0, host::kSendAbortIfHung, kRequestTimeoutMs, &reply);
    host::DomRef document;
    if (platform.ObjectFromLresult(static_cast<host::Lresult>(reply), host::kIidHtmlDocument, 0,
                                   document) != host::kHresultOk ||
        !document)
        return DocumentState::None;
    return document.Read("readyState").ToText() == "complete" ? DocumentState::Complete
                                                              : DocumentState::Loading;
}

}  // namespace autolabel::app::win32
