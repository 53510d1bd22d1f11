#include "page/browser_host/document_window.h"

#include <cstring>

namespace autolabel::browser_host {

std::string ReadClassName(Platform& platform, WindowHandle window) {
    char buffer[kClassNameBufferSize] = {};
    const int copied = platform.GetClassNameA(window, buffer, kClassNameBufferSize);
    if (copied <= 0) return {};  // never equals the document window class
    buffer[kClassNameBufferSize - 1] = '\0';
    return std::string(buffer, ::strnlen(buffer, kClassNameBufferSize));
}

bool IsDocumentWindow(Platform& platform, WindowHandle window) {
    return ReadClassName(platform, window) == kDocumentWindowClass;
}

bool RequestDocument(Platform& platform, WindowHandle window, DomRef& target) {
    const std::uint32_t message = platform.RegisterWindowMessageA(kDocumentRequestMessage);
    std::uintptr_t reply = 0;
    platform.SendMessageTimeoutA(window, message, 0, 0, kSendAbortIfHung, kDocumentRequestTimeoutMs,
                                 &reply);
    target.Reset();
    if (platform.ObjectFromLresult(static_cast<Lresult>(reply), kIidHtmlDocument, 0, target) !=
        kHresultOk) {
        target.Reset();
        return false;
    }
    return true;
}

}  // namespace autolabel::browser_host
