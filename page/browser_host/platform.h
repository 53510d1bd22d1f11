// The platform calls the page automation object makes, under their platform
// names. Each host (scripted, webkit, win32) implements them; the core sees
// only this interface and never a platform header.
#pragma once

#include <cstdint>

#include "page/browser_host/dom_ref.h"

namespace autolabel::browser_host {

// A native window handle as the tool keeps it: signed 32-bit, 0 is none.
using WindowHandle = std::int32_t;
using Hresult = std::int32_t;
using Lresult = std::intptr_t;

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
    bool operator==(const Guid&) const = default;
};

// IHTMLDocument, {626FC520-A41E-11CF-A731-00A0C9082637}.
inline constexpr Guid kIidHtmlDocument{
    0x626FC520, 0xA41E, 0x11CF, {0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37}};

inline constexpr Hresult kHresultOk = 0;
inline constexpr Hresult kHresultFail = static_cast<Hresult>(0x80004005);
inline constexpr Hresult kHresultNoInterface = static_cast<Hresult>(0x80004002);
inline constexpr Hresult kHresultInvalidArg = static_cast<Hresult>(0x80070057);
inline constexpr std::uint32_t kSendAbortIfHung = 2;  // SMTO_ABORTIFHUNG

class Platform {
  public:
    virtual ~Platform() = default;

    virtual Hresult CoInitialize(void* reserved) = 0;
    virtual void CoUninitialize() = 0;

    virtual bool IsWindow(WindowHandle window) = 0;
    virtual WindowHandle FindWindowExA(WindowHandle parent, WindowHandle childAfter,
                                       const char* className, const char* windowName) = 0;
    // Copies at most bufferSize - 1 bytes and a terminating zero; returns the
    // number copied, 0 on failure.
    virtual int GetClassNameA(WindowHandle window, char* buffer, int bufferSize) = 0;
    virtual std::uint32_t RegisterWindowMessageA(const char* name) = 0;
    // Returns non-zero when the message was handled in time; stores the
    // window's answer in *result then.
    virtual Lresult SendMessageTimeoutA(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam,
                                        std::uint32_t flags, std::uint32_t timeoutMs,
                                        std::uintptr_t* result) = 0;
    // Stores the object behind an answer to the document request in `object`.
    virtual Hresult ObjectFromLresult(Lresult lresult, const Guid& iid, std::uintptr_t wParam,
                                      DomRef& object) = 0;

    // Handles every window message already waiting on this thread, without
    // waiting for new ones.
    virtual void DispatchWaitingMessages() = 0;
};

}  // namespace autolabel::browser_host
