// The core's Value to and from VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "page/browser_host/value.h"
#include "support/win32/unique_variant.h"

namespace autolabel::browser_host::win32 {

// Text becomes a BSTR, an object its IDispatch. An object that is not one of
// ours has no IDispatch to give and travels as an empty VARIANT.
support::win32::UniqueVariant ToVariant(const browser_host::Value& value);

// Objects come back wrapped as DOM objects; null objects, VT_EMPTY and
// VT_NULL are the empty value; other kinds are read as their text.
browser_host::Value FromVariant(const VARIANT& variant);

}  // namespace autolabel::browser_host::win32
