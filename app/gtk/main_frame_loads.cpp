#include "app/gtk/main_frame_loads.h"

#include <utility>

namespace autolabel::app::gtk {

void MainFrameLoads::ReloadAsked() {
    reloadAsked_ = true;
    watch_.Started();
}

// The load's start does not say what started it (the view still shows the
// address of the page that sent the form), so the navigation's decision,
// which comes just before, tells a form's post from a link.
void MainFrameLoads::NavigationDecided(bool form) {
    nextKind_ = form ? NavigationWatch::Kind::FormSubmission : NavigationWatch::Kind::Other;
    // Held from the decision on: the post can reach the forum before the
    // engine reports its load's start. Within the bound only, until that
    // start: the decision may be a frame's, whose load is not reported.
    if (form) watch_.Started();
}

// A post answered by a redirect is one load: started, redirected,
// committed, finished.
void MainFrameLoads::LoadChanged(WebKitLoadEvent event, bool engineStillLoading) {
    switch (event) {
        case WEBKIT_LOAD_STARTED:
            reloadAsked_ = false;
            watch_.Started(std::exchange(nextKind_, NavigationWatch::Kind::Other));
            break;
        case WEBKIT_LOAD_COMMITTED:
            watch_.Committed();
            break;
        case WEBKIT_LOAD_FINISHED:
            LoadEnded(engineStillLoading);
            break;
        case WEBKIT_LOAD_REDIRECTED:
            break;
    }
}

// Also a post stopped (Escape, stop_loading: cancelled), or answered with a
// file to save or something else the browser does not show (interrupted by
// policy): the page that sent it stays shown, and is worked on again.
void MainFrameLoads::LoadEnded(bool engineStillLoading) {
    // Cancelled by a navigation already asked for (the tool's reload, a post
    // from a page whose load hung): that one takes the hold over, though the
    // engine reports its start only after this end.
    if (reloadAsked_ || engineStillLoading) {
        watch_.Started();
        return;
    }
    watch_.Ended();
}

// A page process that died takes its load with it, unreported; the tool's
// own page then loads in its place (PageReload), and 刷新 is never held.
void MainFrameLoads::ProcessTerminated() {
    reloadAsked_ = false;
    watch_.Ended();
}

}  // namespace autolabel::app::gtk
