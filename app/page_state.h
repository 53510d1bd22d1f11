// What a window's browser tells the toolkit-free shell about its page:
// why its commands are held, and which document it shows.
#pragma once

#include <cstdint>

namespace autolabel::app {

// Why the page's commands are held, the most pressing reason first.
enum class PageHold {
    None,
    Dialog,    // a dialog of the page, the control's modal UI, a menu's loop
    SentForm,  // a form was sent and its answer has not arrived
    Loading,   // another navigation or a reload on its way, within the bound
};

// The document the browser shows. Every document the main frame commits
// gets a new number; `fromServer` is false for one brought back by history
// (Back, Forward, the back/forward cache), which shows a page as it was.
// A page's script that changes its document in place changes neither.
struct ShownDocument {
    std::uint64_t number = 0;
    bool fromServer = true;
    bool operator==(const ShownDocument&) const = default;
};

}  // namespace autolabel::app
