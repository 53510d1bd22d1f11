// The DOM object of the core over a real IDispatch: late binding by name
// through GetIDsOfNames and Invoke, which matches names without regard to case.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "page/browser_host/dom_object.h"
#include "support/win32/com_ptr.h"

namespace autolabel::browser_host::win32 {

class DispatchObject final : public browser_host::RefCountedDomObject {
  public:
    // An empty holder for a null pointer.
    static browser_host::DomRef Wrap(support::win32::ComPtr<IDispatch> dispatch);
    // The IDispatch behind a holder made by Wrap, else null (no reference added).
    static IDispatch* DispatchOf(const browser_host::DomRef& object) noexcept;

    bool ReadMember(std::string_view name, browser_host::Value& result) noexcept override;
    bool WriteMember(std::string_view name, const browser_host::Value& value) noexcept override;
    bool CallMethod(std::string_view name, std::span<const browser_host::Value> arguments,
                    browser_host::Value& result) noexcept override;

  private:
    explicit DispatchObject(support::win32::ComPtr<IDispatch> dispatch)
        : dispatch_(std::move(dispatch)) {}

    support::win32::ComPtr<IDispatch> dispatch_;
};

}  // namespace autolabel::browser_host::win32
