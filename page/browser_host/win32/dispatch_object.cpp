#include "page/browser_host/win32/dispatch_object.h"

#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/value.h"
#include "page/browser_host/win32/document_call.h"
#include "page/browser_host/win32/variant_value.h"
#include "support/win32/unique_bstr.h"
#include "support/win32/unique_variant.h"
#include "support/win32/utf16.h"

namespace autolabel::browser_host::win32 {

using namespace support::win32;

using namespace browser_host;

static_assert(sizeof(UniqueVariant) == sizeof(VARIANT), "argument arrays are passed as VARIANTs");

namespace {

// Frees what a failed Invoke may have put into its exception record.
void ClearExceptionInfo(EXCEPINFO& info) noexcept {
    UniqueBstr{info.bstrSource};
    UniqueBstr{info.bstrDescription};
    UniqueBstr{info.bstrHelpFile};
}

HRESULT Invoke(IDispatch* dispatch, std::string_view name, WORD flags,
               std::span<const Value> arguments, VARIANT* result) {
    std::wstring wideName = Utf8ToWide(name);
    LPOLESTR names[] = {wideName.data()};
    DISPID member = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member);
    if (FAILED(hr)) return hr;

    // IDispatch takes the arguments last to first.
    std::vector<UniqueVariant> slots;
    slots.reserve(arguments.size());
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it)
        slots.push_back(ToVariant(*it));

    DISPID putName = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{};
    parameters.rgvarg = slots.empty() ? nullptr : slots.front().Get();
    parameters.cArgs = static_cast<UINT>(slots.size());
    if (flags & DISPATCH_PROPERTYPUT) {
        parameters.rgdispidNamedArgs = &putName;
        parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const DocumentCallScope documentCall;
    hr = dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result,
                          &exception, &badArgument);
    ClearExceptionInfo(exception);
    return hr;
}

}  // namespace

DomRef DispatchObject::Wrap(ComPtr<IDispatch> dispatch) {
    if (!dispatch) return {};
    return DomRef::Adopt(new DispatchObject(std::move(dispatch)));
}

IDispatch* DispatchObject::DispatchOf(const DomRef& object) noexcept {
    auto* adapter = dynamic_cast<DispatchObject*>(object.Get());
    return adapter ? adapter->dispatch_.Get() : nullptr;
}

bool DispatchObject::ReadMember(std::string_view name, Value& result) noexcept try {
    result = Value();
    UniqueVariant answer;
    if (FAILED(Invoke(dispatch_.Get(), name, DISPATCH_PROPERTYGET, {}, answer.Put()))) return false;
    result = FromVariant(*answer.Get());
    return true;
} catch (...) {
    return false;
}

bool DispatchObject::WriteMember(std::string_view name, const Value& value) noexcept try {
    const Value arguments[] = {value};
    HRESULT hr = Invoke(dispatch_.Get(), name, DISPATCH_PROPERTYPUT, arguments, nullptr);
    // A boolean property may refuse an arbitrary text ("checked" for
    // `checked`, as a page's markup writes it), and hosts refuse it with
    // different errors: after any failure, give it the text's truth instead.
    if (FAILED(hr) && value.kind() == Value::Kind::Text) {
        const Value truth[] = {Value::Boolean(value.ToBoolean())};
        hr = Invoke(dispatch_.Get(), name, DISPATCH_PROPERTYPUT, truth, nullptr);
    }
    return SUCCEEDED(hr);
} catch (...) {
    return false;
}

bool DispatchObject::CallMethod(std::string_view name, std::span<const Value> arguments,
                                Value& result) noexcept try {
    result = Value();
    UniqueVariant answer;
    if (FAILED(Invoke(dispatch_.Get(), name, DISPATCH_METHOD, arguments, answer.Put())))
        return false;
    result = FromVariant(*answer.Get());
    return true;
} catch (...) {
    return false;
}

}  // namespace autolabel::browser_host::win32
