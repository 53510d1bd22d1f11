// The platform calls of the page automation object, made for real.
#pragma once

#include "page/browser_host/platform.h"

namespace autolabel::browser_host::win32 {

class Win32Platform final : public browser_host::Platform {
  public:
    browser_host::Hresult CoInitialize(void* reserved) override;
    void CoUninitialize() override;

    bool IsWindow(browser_host::WindowHandle window) override;
    browser_host::WindowHandle FindWindowExA(browser_host::WindowHandle parent,
                                             browser_host::WindowHandle childAfter,
                                             const char* className,
                                             const char* windowName) override;
    int GetClassNameA(browser_host::WindowHandle window, char* buffer, int bufferSize) override;
    std::uint32_t RegisterWindowMessageA(const char* name) override;
    browser_host::Lresult SendMessageTimeoutA(browser_host::WindowHandle window,
                                              std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam, std::uint32_t flags,
                                              std::uint32_t timeoutMs,
                                              std::uintptr_t* result) override;
    // Wraps the object's IDispatch (every HTML document interface derives
    // from it) for the core.
    browser_host::Hresult ObjectFromLresult(browser_host::Lresult lresult,
                                            const browser_host::Guid& iid, std::uintptr_t wParam,
                                            browser_host::DomRef& object) override;
    void DispatchWaitingMessages() override;
};

}  // namespace autolabel::browser_host::win32
