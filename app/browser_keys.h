// The keys people expect of a browser, decided once for both windows and
// taken before the page sees them: F5 and Ctrl+R reload (the tool's reload,
// which never sends a form again), Alt+Left and Alt+Right go back and
// forward, Ctrl+plus, Ctrl+minus and Ctrl+0 zoom, Escape stops a load on
// its way (the way out of a post whose answer never comes), and Backspace
// outside a field where text is typed goes nowhere (an old engine's "back").
#pragma once

namespace autolabel::app {

// A key as the windows tell it apart; anything else is Other.
enum class Key { F5, R, Left, Right, Plus, Minus, Zero, Backspace, Escape, Other };

struct KeyPress {
    Key key = Key::Other;
    bool control = false, alt = false;
    // Whether the focus is where text is typed (a text field, a text area,
    // an editable element), in whichever frame it is.
    bool focusIsEditable = false;
    // Whether a load of the page is on its way, and whether the page shows
    // a dialog (Escape is then the dialog's).
    bool loading = false, dialogShown = false;
};

enum class BrowserAction {
    PassOn,  // not a browser's key: the page has it
    Reload,
    Back,
    Forward,
    ZoomIn,
    ZoomOut,
    ZoomReset,
    Stop,
    Swallow,  // taken, and nothing done
};

BrowserAction BrowserActionFor(const KeyPress& press);

// The zoom level after one step in or out, kept within what is readable.
double ZoomedIn(double level);
double ZoomedOut(double level);

}  // namespace autolabel::app
