// Binding to the browser's window and obtaining its HTML document.
#include <cstring>

#include "page/page_automation.h"

namespace autolabel::automation {

std::string PageAutomation::ReadClassName(WindowHandle window) {
    char buffer[kClassNameBufferSize] = {};
    int copied = platform_.GetClassNameA(window, buffer, kClassNameBufferSize);
    if (copied <= 0) return {};  // never equals the document window class
    buffer[kClassNameBufferSize - 1] = '\0';
    return std::string(buffer, ::strnlen(buffer, kClassNameBufferSize));
}

bool PageAutomation::IsDocumentWindow(WindowHandle window) {
    return ReadClassName(window) == kDocumentWindowClass;
}

bool PageAutomation::BindWindow(WindowHandle window) {
    if (!platform_.IsWindow(window)) return false;
    boundWindow = window;
    AcquireDocument(boundWindow, pageDocument);
    return static_cast<bool>(pageDocument);
}

WindowHandle PageAutomation::FindDocumentWindow(WindowHandle parent) {
    WindowHandle child = platform_.FindWindowExA(parent, 0, nullptr, nullptr);
    while (child > 0) {
        if (IsDocumentWindow(child)) return child;
        WindowHandle found = FindDocumentWindow(child);
        if (found != 0) return found;
        child = platform_.FindWindowExA(parent, child, nullptr, nullptr);
        // A click or tick waiting now runs its whole command here, binding
        // this same object; the walk keeps its place in locals only.
        platform_.DispatchWaitingMessages();
    }
    return 0;
}

bool PageAutomation::AcquireDocument(WindowHandle window, DomRef& target) {
    if (!IsDocumentWindow(window)) {
        window = FindDocumentWindow(window);
        if (window == 0) return false;
    }
    std::uint32_t message = platform_.RegisterWindowMessageA(kDocumentRequestMessage);
    std::uintptr_t reply = 0;
    platform_.SendMessageTimeoutA(window, message, 0, 0, browser_host::kSendAbortIfHung,
                                  kDocumentRequestTimeoutMs, &reply);
    target.Reset();
    browser_host::Hresult hr = platform_.ObjectFromLresult(
        static_cast<browser_host::Lresult>(reply), browser_host::kIidHtmlDocument, 0, target);
    if (hr != browser_host::kHresultOk) {
        target.Reset();
        return false;
    }
    return true;
}

}  // namespace autolabel::automation
