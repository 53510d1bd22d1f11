// The tool's own page for a program built without the forum's host: what the
// tool is, and the ways to give it a forum's address. An HTML resource of the
// program (autolabel.rc), which the control shows from a res: address, with
// no network at all.
#pragma once

#include <string>
#include <string_view>

#include "app/program.h"

namespace autolabel::app::win32 {

// Its name among the program's resources of type RT_HTML.
inline constexpr wchar_t kNoForumPageResource[] = L"NO-FORUM.HTML";

// The res: address of an RT_HTML resource of the module at `modulePath`:
// the path percent-encoded as the protocol asks (a backslash as %5C), then
// the resource's name.
std::wstring ResourceAddress(std::wstring_view modulePath, std::wstring_view resourceName);

// The page's address in the running program's own file, wherever it lies
// and whatever it is called.
std::wstring NoForumPageAddress();

// Where the program starts (UTF-8): the address on its command line, else
// the forum's moderation page, else, built without the forum's host, this page.
std::string ProgramStartAddress(const CommandLine& line);

}  // namespace autolabel::app::win32
