#include "app/win32/no_forum_page.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "support/win32/utf16.h"

namespace autolabel::app::win32 {

std::wstring ResourceAddress(std::wstring_view modulePath, std::wstring_view resourceName) {
    // The path is the address's host part: what would end it or be read as
    // an escape is escaped; other characters, a drive's colon and letters
    // outside ASCII among them, stand as they are.
    std::wstring address = L"res://";
    for (const wchar_t c : modulePath) {
        if (c == L'\\' || c == L'/' || c == L'%' || c == L'#' || c == L'?' || c <= L' ') {
            wchar_t escaped[4];
            std::swprintf(escaped, 4, L"%%%02X", static_cast<unsigned>(c));
            address += escaped;
        } else {
            address += c;
        }
    }
    return address + L"/" + std::wstring(resourceName);
}

std::wstring NoForumPageAddress() {
    // A long path may not fit MAX_PATH: grow until it does.
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        // The protocol also finds a module by its bare name in the program's folder.
        if (length == 0) return ResourceAddress(L"autolabel.exe", kNoForumPageResource);
        if (length < path.size())
            return ResourceAddress(std::wstring_view(path.data(), length), kNoForumPageResource);
        path.resize(path.size() * 2);
    }
}

std::string ProgramStartAddress(const CommandLine& line) {
    return StartAddress(line, support::win32::WideToUtf8(NoForumPageAddress()));
}

}  // namespace autolabel::app::win32
