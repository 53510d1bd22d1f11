// What a reload of the page shown does, decided once for both windows: a
// page that answered a form is asked for afresh at its address, without the
// form, as when a user presses Enter in the address bar (a plain reload
// would send the labels again, or ask whether to, at every automatic pass);
// a page the tool shows in place of a lost one brings the lost one back;
// any other page is reloaded from the server.
#pragma once

#include <string>

namespace autolabel::app {

// How the page shown came to be there, as the window's engine reports it.
struct ShownPage {
    std::string address;      // empty when the engine has none
    bool fromForm = false;    // the answer to a form's submission
    std::string standsInFor;  // the address of a page the tool's own page replaces
};

struct ReloadDecision {
    enum class Kind {
        // Reload the page from the server (Windows: REFRESH_COMPLETELY; Linux:
        // a reload that bypasses the cache).
        ReloadCompletely,
        // A new request for `address`, without a form.
        GoTo,
        // Nothing that would not send the form again.
        Nothing,
    };
    Kind kind = Kind::Nothing;
    std::string address;

    bool operator==(const ReloadDecision&) const = default;
};

ReloadDecision DecideReload(const ShownPage& page);

}  // namespace autolabel::app
