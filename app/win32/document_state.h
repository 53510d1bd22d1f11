// How far the page's document has loaded, read where the binding takes the
// document: from the document window below the control. The control's own
// reload (Refresh2) raises no navigation events, so the document is all
// there is to tell a half-parsed page from a complete one.
#pragma once

#include <windows.h>

namespace autolabel::app::win32 {

enum class DocumentState {
    None,     // no document window, or it gave no document
    Loading,  // readyState "loading" or "interactive", or any other
    Complete  // readyState "complete"
};

// Finds the document window below `control` as the binding does, without
// letting any waiting message run, and reads the document's readyState.
DocumentState ReadDocumentState(HWND control);

}  // namespace autolabel::app::win32
