#include "app/win32/editable_focus.h"

#include <string>

#include "page/browser_host/ascii_case.h"
#include "page/browser_host/value.h"

namespace autolabel::app::win32 {

using namespace browser_host;

namespace {

// Frames inside frames, as deep as a page would nest them.
constexpr int kFrameDepth = 8;

bool TypesText(const DomRef& input) {
    const std::string type = AsciiLower(input.Read("type").ToText());
    for (const char* notText :
         {"button", "submit", "reset", "checkbox", "radio", "image", "file", "hidden"})
        if (type == notText) return false;
    return true;  // text, password, search, email, number, ... or unreadable
}

bool FocusIsEditableIn(const DomRef& document, int depth) {
    if (!document) return false;
    if (AsciiLower(document.Read("designMode").ToText()) == "on") return true;
    const DomRef focus = document.Read("activeElement").ToObject();
    if (!focus) return false;
    if (focus.Read("isContentEditable").ToBoolean()) return true;
    const std::string tag = AsciiLower(focus.Read("tagName").ToText());
    if (tag == "iframe" || tag == "frame") {
        const DomRef inner = focus.Read("contentWindow").ToObject().Read("document").ToObject();
        if (!inner || depth >= kFrameDepth) return true;
        return FocusIsEditableIn(inner, depth + 1);
    }
    if (tag == "textarea") return true;
    return tag == "input" && TypesText(focus);
}

}  // namespace

bool FocusIsEditable(const DomRef& document) { return FocusIsEditableIn(document, 0); }

}  // namespace autolabel::app::win32
