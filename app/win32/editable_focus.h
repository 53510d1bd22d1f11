// Whether the keyboard focus in a page is where text is typed, so that
// Backspace deletes there: a text field, a text area, an element being
// edited or a document in design mode (a rich-text editor), looked for
// through the frames' documents down to the element focused there.
#pragma once

#include "page/browser_host/dom_ref.h"

namespace autolabel::app::win32 {

// `document` is the page's, reached late-bound. A focused frame whose
// document cannot be read (another origin) counts as editable: the control
// then decides about the key itself, rather than the key being swallowed.
bool FocusIsEditable(const browser_host::DomRef& document);

}  // namespace autolabel::app::win32
