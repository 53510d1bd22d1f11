// The core's texts are UTF-8; COM and the wide window functions take UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace autolabel::support::win32 {

// Invalid input becomes U+FFFD rather than failing.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace autolabel::support::win32
