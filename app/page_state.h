// What a window's browser tells the toolkit-free shell about its page:
// why its commands are held.
#pragma once

namespace autolabel::app {

// Why the page's commands are held, the most pressing reason first.
enum class PageHold {
    None,
    Dialog,    // a dialog of the page, the control's modal UI, a menu's loop
    SentForm,  // a form was sent and its answer has not arrived
    Loading,   // another navigation or a reload on its way, within the bound
};

}  // namespace autolabel::app
