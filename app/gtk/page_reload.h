// How the page the view shows came to be there, for the reload that never
// sends a form again (app/reload_decision.h): whether it answered a post,
// and whether it is the tool's own page standing in for one whose process
// died, which the reload brings back. Fed by the browser's events; the
// browser makes the engine's calls.
#pragma once

#include <webkit2/webkit2.h>

#include <map>
#include <string>

#include "app/reload_decision.h"

namespace autolabel::app::gtk {

class PageReload {
  public:
    // A main-frame request was decided, with its method.
    void NavigationDecided(const char* uri, const char* method);
    // `shownUri`: the view's address now. True when a reload put off while
    // the tool's own page loaded is to be made now.
    bool LoadChanged(WebKitLoadEvent event, const char* shownUri);
    // The page's process died (not by the tool's own hand): the address the
    // tool's page is to stand in for, shown under it; "" when nothing is to
    // be shown.
    std::string ProcessTerminated(WebKitWebProcessTerminationReason reason, const char* shownUri);
    // A load asked for while the tool's own page is still loading may be
    // taken for that page's (the engine then shows the tool's page for it)
    // or cancel it after it began: either way the tool would no longer know
    // which page it shows. True when the reload waits for that load's end.
    bool PutsOffReload();

    ShownPage Shown(const char* shownUri) const {
        return {shownUri ? shownUri : "", shownFromPost_, lostAddress_};
    }
    // Whether the page shown now is the answer to a post.
    bool shownFromPost() const { return shownFromPost_; }
    bool showsCrashedPage() const { return !lostAddress_.empty(); }

  private:
    // The method of each main-frame request asked for since the last commit,
    // by address: the one that commits tells how the page came.
    std::map<std::string, std::string> methods_;
    bool shownFromPost_ = false;
    // The load of the tool's own page: asked for, begun, committed.
    enum class CrashedPageLoad { None, Requested, Started, Committed };
    CrashedPageLoad crashedPageLoad_ = CrashedPageLoad::None;
    // 刷新 pressed while that load runs: made once it has finished.
    bool reloadWhenLoaded_ = false;
    std::string lostAddress_;  // the page the tool's own page stands in for
};

}  // namespace autolabel::app::gtk
