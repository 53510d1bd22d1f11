#include "page/browser_host/win32/variant_value.h"

#include "page/browser_host/win32/dispatch_object.h"
#include "support/win32/unique_bstr.h"
#include "support/win32/utf16.h"

namespace autolabel::browser_host::win32 {

using namespace support::win32;

using browser_host::Value;

UniqueVariant ToVariant(const Value& value) {
    UniqueVariant variant;
    VARIANT* v = variant.Put();
    switch (value.kind()) {
        case Value::Kind::Empty:
            break;
        case Value::Kind::Boolean:
            v->vt = VT_BOOL;
            v->boolVal = value.ToBoolean() ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case Value::Kind::Int32:
            v->vt = VT_I4;
            v->lVal = value.ToInt32();
            break;
        case Value::Kind::Double:
            v->vt = VT_R8;
            v->dblVal = value.ToNumber();
            break;
        case Value::Kind::Text: {
            auto text = UniqueBstr::From(Utf8ToWide(value.ToText()));
            if (!text.Get()) break;  // out of memory: travel as empty
            v->vt = VT_BSTR;
            v->bstrVal = text.Release();
            break;
        }
        case Value::Kind::Object:
            if (IDispatch* dispatch = DispatchObject::DispatchOf(value.ToObject())) {
                dispatch->AddRef();  // the VARIANT owns one reference
                v->vt = VT_DISPATCH;
                v->pdispVal = dispatch;
            }
            break;
    }
    return variant;
}

namespace {

Value FromInterface(IUnknown* unknown) {
    if (!unknown) return {};
    ComPtr<IDispatch> dispatch;
    if (FAILED(unknown->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) return {};
    return Value::Object(DispatchObject::Wrap(std::move(dispatch)));
}

Value FromOtherKind(const VARIANT& variant) {
    UniqueVariant text;
    if (FAILED(::VariantChangeType(text.Put(), const_cast<VARIANT*>(&variant), VARIANT_ALPHABOOL,
                                   VT_BSTR)))
        return {};
    return Value::Text(BstrToUtf8(text.Get()->bstrVal));
}

}  // namespace

Value FromVariant(const VARIANT& variant) {
    switch (variant.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return {};
        case VT_BOOL:
            return Value::Boolean(variant.boolVal != VARIANT_FALSE);
        case VT_I1:
            return Value::Int32(variant.cVal);
        case VT_UI1:
            return Value::Int32(variant.bVal);
        case VT_I2:
            return Value::Int32(variant.iVal);
        case VT_UI2:
            return Value::Int32(variant.uiVal);
        case VT_I4:
            return Value::Int32(variant.lVal);
        case VT_INT:
            return Value::Int32(variant.intVal);
        case VT_UI4:
            return Value::Double(variant.ulVal);  // may not fit a signed 32-bit integer
        case VT_UINT:
            return Value::Double(variant.uintVal);
        case VT_R4:
            return Value::Double(variant.fltVal);
        case VT_R8:
            return Value::Double(variant.dblVal);
        case VT_BSTR:
            return Value::Text(BstrToUtf8(variant.bstrVal));
        case VT_DISPATCH:
            return FromInterface(variant.pdispVal);
        case VT_UNKNOWN:
            return FromInterface(variant.punkVal);
        default:
            return FromOtherKind(variant);
    }
}

}  // namespace autolabel::browser_host::win32
