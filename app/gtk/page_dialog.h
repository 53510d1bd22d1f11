// Whether the page shows a dialog. WebKit draws the page's dialogs (alert,
// confirm, prompt, the leave-page question, an authentication request)
// inside the web view, so the tool's own buttons stay live under them; the
// window asks this before running a command on the page.
#pragma once

#include <webkit2/webkit2.h>

namespace autolabel::app::gtk {

// True while the view holds a dialog of the page: WebKit puts the dialog's
// widget inside the view for as long as it is open.
bool PageShowsDialog(WebKitWebView* view);

// The page is showing a dialog: gives the view the keyboard focus once the
// view holds it, so that Enter, Space and Escape answer the dialog as in a
// browser instead of pressing the tool's button that was clicked last.
void FocusPageDialogSoon(WebKitWebView* view);

}  // namespace autolabel::app::gtk
