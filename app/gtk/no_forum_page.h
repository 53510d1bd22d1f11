// The tool's own page for a program built without the forum's host: what the
// tool is, and the ways to give it a forum's address. Built into the program
// and served from it, so it shows with no network at all.
#pragma once

#include <webkit2/webkit2.h>

namespace autolabel::app::gtk {

inline constexpr const char* kNoForumPageAddress = "autolabel:no-forum";

// Serves the page at kNoForumPageAddress in `context`. Its scheme is local,
// as file: is: a page from the web can neither load nor link to it.
void ServeNoForumPage(WebKitWebContext* context);

}  // namespace autolabel::app::gtk
