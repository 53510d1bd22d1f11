// Follows the loads of the view's main frame for the navigation watch.
// While the browser fetches the next page it keeps showing the old
// document, so the page is not ready for the tool's commands until the new
// one has loaded: a form's post (and the redirects after it, one load) from
// its navigation's decision until the engine commits its answer, however
// late; any other load, and the tool's own reload from the moment it is
// asked for, within the watch's bound, which counts afresh from the commit.
// Every way a load ends lets the commands go: finished, failed (the engine's
// error page is a load of its own), stopped, an answer that became a
// download or was refused, a dead page process.
#pragma once

#include <webkit2/webkit2.h>

#include "app/navigation_watch.h"

namespace autolabel::app::gtk {

class MainFrameLoads {
  public:
    explicit MainFrameLoads(NavigationWatch& watch) : watch_(watch) {}
    MainFrameLoads(const MainFrameLoads&) = delete;
    MainFrameLoads& operator=(const MainFrameLoads&) = delete;

    // The main frame's navigation was decided; `form`: it sends a form.
    void NavigationDecided(bool form);
    void LoadChanged(WebKitLoadEvent event, bool engineStillLoading);
    // Failed, stopped, a download, refused; `engineStillLoading`: the view
    // reports another load on its way.
    void LoadFailed(bool engineStillLoading) { LoadEnded(engineStillLoading); }
    void ProcessTerminated();
    // The tool has asked for a reload: held from now, since the engine
    // reports the reload's start only later.
    void ReloadAsked();

  private:
    void LoadEnded(bool engineStillLoading);

    NavigationWatch& watch_;
    // What the navigation decided last, before its load started, was.
    NavigationWatch::Kind nextKind_ = NavigationWatch::Kind::Other;
    bool reloadAsked_ = false;  // and its load not yet started
};

}  // namespace autolabel::app::gtk
