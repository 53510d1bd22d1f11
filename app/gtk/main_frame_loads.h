// Follows the loads of the view's main frame. While the browser fetches the
// next page it keeps showing the old document, so the page is not ready for
// the tool's commands until the new one has loaded: a form's post (and the
// redirects after it, one load) from its navigation's decision until the
// engine commits its answer, however late; any other load, and the tool's
// own reload from the moment it is asked for, within the watch's bound,
// which counts afresh from the commit.
// Every way a load ends lets the commands go: finished, failed (the engine's
// error page is a load of its own), stopped, an answer that became a
// download or was refused, a dead page process.
#pragma once

#include <webkit2/webkit2.h>

#include "app/navigation_watch.h"

namespace autolabel::app::gtk {

class MainFrameLoads {
  public:
    explicit MainFrameLoads(WebKitWebView* view);
    ~MainFrameLoads();
    MainFrameLoads(const MainFrameLoads&) = delete;
    MainFrameLoads& operator=(const MainFrameLoads&) = delete;

    // True while a load of the main frame holds the page's commands.
    bool OnItsWay() const { return watch_.Holds(); }
    // Whether a form's post waits for its answer (held without a bound).
    bool WaitsForSentForm() const { return watch_.WaitsForSentForm(); }
    // The tool has asked for a reload: held from now, since the engine
    // reports the reload's start only later.
    void ReloadAsked();

  private:
    void LoadEnded();
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, gpointer self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer self);
    static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason,
                                    gpointer self);

    WebKitWebView* view_;  // a weak pointer: null once the view is gone
    NavigationWatch watch_;
    // What the navigation decided last, before its load started, was.
    NavigationWatch::Kind nextKind_ = NavigationWatch::Kind::Other;
    bool reloadAsked_ = false;  // and its load not yet started
};

}  // namespace autolabel::app::gtk
