#include "app/browser.h"

namespace autolabel::app {

void Browser::Reload() {
    if (ShowsDialog() || !BeginReload()) return;
    const ReloadDecision decision = DecideReload(PageShown());
    bool started = false;
    switch (decision.kind) {
        case ReloadDecision::Kind::ReloadCompletely:
            started = ReloadFromServer();
            break;
        case ReloadDecision::Kind::GoTo:
            started = NavigateTo(decision.address);
            break;
        case ReloadDecision::Kind::Nothing:
            break;
    }
    if (started) ReloadStarted(decision.kind);
    CheckReadiness();
}

// Not ready while the next page is on its way: the old document is still
// shown, and working on it would post a batch already sent (the navigation
// watch says for how long). Nor under a dialog: a command run under it
// would find no document and reload, cancelling what the dialog holds.
PageHold Browser::Hold() {
    if (ShowsDialog()) return PageHold::Dialog;
    FollowLoads();
    if (!navigation_.Holds()) return PageHold::None;
    // The tool's press not yet answered by any navigation waits as a sent
    // form does, for what the page makes of it.
    if (navigation_.WaitsForSentForm() || navigation_.WaitsForPress()) return PageHold::SentForm;
    return PageHold::Loading;
}

void Browser::CheckReadiness() {
    const bool ready = IsPageReady();
    if (ready == rechecking_) {
        rechecking_ = !ready;
        SetReadinessRecheck(rechecking_);
    }
    if (ready == ready_) return;
    ready_ = ready;
    delegate_.ReadinessChanged(*this, ready);
}

bool Browser::HandleKey(KeyPress press) {
    press.loading = IsLoading();
    press.dialogShown = ShowsDialog();
    const BrowserAction action = BrowserActionFor(press);
    if (action == BrowserAction::PassOn) return false;
    Run(action);
    return true;
}

void Browser::Run(BrowserAction action) {
    switch (action) {
        case BrowserAction::Reload:
            return delegate_.ReloadRequested(*this);
        case BrowserAction::Back:
            return GoBack();
        case BrowserAction::Forward:
            return GoForward();
        case BrowserAction::ZoomIn:
            return SetZoomLevel(ZoomedIn(ZoomLevel()));
        case BrowserAction::ZoomOut:
            return SetZoomLevel(ZoomedOut(ZoomLevel()));
        case BrowserAction::ZoomReset:
            return SetZoomLevel(1.0);
        case BrowserAction::Stop:
            // The page that sent a post stays shown.
            return StopLoading();
        case BrowserAction::PassOn:
        case BrowserAction::Swallow:
            return;
    }
}

namespace {

// An ordinary browser window's size, for a page that asks for none.
constexpr PageWindowSize kDefaultPageWindowSize{900, 640};
// Less than this is no window to read a page in (a pop-up's 1x1 trick).
constexpr int kMinimumPageWindowSide = 200;

}  // namespace

PageWindowSize PageWindowSizeFor(int requestedWidth, int requestedHeight) {
    return {
        requestedWidth >= kMinimumPageWindowSide ? requestedWidth : kDefaultPageWindowSize.width,
        requestedHeight >= kMinimumPageWindowSide ? requestedHeight
                                                  : kDefaultPageWindowSize.height};
}

std::string PageWindowTitle(const std::string& pageTitle, const std::string& address) {
    return pageTitle.empty() ? address : pageTitle;
}

}  // namespace autolabel::app
