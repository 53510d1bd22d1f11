#include "page/browser_host/win32/win32_platform.h"

#include <windows.h>
#include <oleacc.h>

#include "page/browser_host/win32/dispatch_object.h"
#include "page/browser_host/win32/message_delivery.h"
#include "page/browser_host/win32/window_handle.h"
#include "support/win32/com_ptr.h"

namespace autolabel::browser_host::win32 {

using support::win32::ComPtr;

using namespace browser_host;

static_assert(browser_host::kSendAbortIfHung == SMTO_ABORTIFHUNG);
static_assert(browser_host::kHresultOk == S_OK);

namespace {

IID ToIid(const browser_host::Guid& guid) noexcept {
    IID iid;
    iid.Data1 = guid.data1;
    iid.Data2 = guid.data2;
    iid.Data3 = guid.data3;
    for (int i = 0; i < 8; ++i) iid.Data4[i] = guid.data4[i];
    return iid;
}

}  // namespace

Hresult Win32Platform::CoInitialize(void* reserved) { return ::CoInitialize(reserved); }

void Win32Platform::CoUninitialize() { ::CoUninitialize(); }

bool Win32Platform::IsWindow(WindowHandle window) { return ::IsWindow(ToHwnd(window)) != FALSE; }

WindowHandle Win32Platform::FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                          const char* className, const char* windowName) {
    return FromHwnd(::FindWindowExA(ToHwnd(parent), ToHwnd(childAfter), className, windowName));
}

int Win32Platform::GetClassNameA(WindowHandle window, char* buffer, int bufferSize) {
    return ::GetClassNameA(ToHwnd(window), buffer, bufferSize);
}

std::uint32_t Win32Platform::RegisterWindowMessageA(const char* name) {
    return ::RegisterWindowMessageA(name);
}

browser_host::Lresult Win32Platform::SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                                         std::uintptr_t wParam,
                                                         std::intptr_t lParam, std::uint32_t flags,
                                                         std::uint32_t timeoutMs,
                                                         std::uintptr_t* result) {
    DWORD_PTR answer = result ? *result : 0;
    const LRESULT handled =
        ::SendMessageTimeoutA(ToHwnd(window), message, wParam, lParam, flags, timeoutMs, &answer);
    if (result) *result = answer;
    return handled;
}

Hresult Win32Platform::ObjectFromLresult(browser_host::Lresult lresult,
                                         const browser_host::Guid& iid, std::uintptr_t wParam,
                                         browser_host::DomRef& object) {
    object.Reset();
    ComPtr<IUnknown> document;
    const HRESULT hr = ::ObjectFromLresult(lresult, ToIid(iid), wParam, document.PutVoid());
    if (hr != S_OK) return hr;
    auto dispatch = document.Query<IDispatch>();
    if (!dispatch) return E_NOINTERFACE;
    object = DispatchObject::Wrap(std::move(dispatch));
    return S_OK;
}

void Win32Platform::DispatchWaitingMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The loop that owns the thread must still see it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DeliverMessage(message);
    }
}

}  // namespace autolabel::browser_host::win32
