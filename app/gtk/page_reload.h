// How the page the view shows came to be there, for the reload that never
// sends a form again (app/reload_decision.h): whether it answered a post,
// and whether it is the tool's own page standing in for one whose process
// died, which the reload brings back.
#pragma once

#include <webkit2/webkit2.h>

#include <map>
#include <string>

namespace autolabel::app::gtk {

class PageReload {
  public:
    explicit PageReload(WebKitWebView* view);
    ~PageReload();
    PageReload(const PageReload&) = delete;
    PageReload& operator=(const PageReload&) = delete;

    void Reload();
    // Whether the page shown now is the answer to a post.
    bool shownFromPost() const { return shownFromPost_; }
    bool showsCrashedPage() const { return !lostAddress_.empty(); }

  private:
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason,
                                    gpointer self);

    WebKitWebView* view_;  // a weak pointer: null once the view is gone
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
