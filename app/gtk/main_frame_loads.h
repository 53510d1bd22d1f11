// Follows the loads of the view's main frame. While the browser fetches the
// next page it keeps showing the old document, so the page is not ready for
// the tool's commands until the new one has loaded (a post and its redirect
// are one navigation), the load failed or was stopped, or the watch's bound
// has passed.
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

    // True while a navigation of the main frame is on its way, within the bound.
    bool OnItsWay() const { return watch_.Holds(); }

  private:
    void LoadEnded();
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static gboolean OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer self);
    static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason,
                                    gpointer self);

    WebKitWebView* view_;  // a weak pointer: null once the view is gone
    NavigationWatch watch_;
};

}  // namespace autolabel::app::gtk
