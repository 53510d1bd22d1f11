#include "app/win32/main_frame_loads.h"

#include <utility>

namespace autolabel::app::win32 {

void MainFrameLoads::NavigationStarting(bool submitsForm) {
    refreshing_ = false;
    watch_.Started(submitsForm ? NavigationWatch::Kind::FormSubmission
                               : NavigationWatch::Kind::Other);
}

void MainFrameLoads::NavigationEnded() {
    refreshing_ = false;
    watch_.Ended();
}

void MainFrameLoads::ReloadStarted(Reload reload) {
    // Held at once: the control reports a navigation's start (if at all)
    // only while it runs it, and a refresh's never.
    watch_.Started();
    refreshing_ = reload == Reload::Refresh;
    refreshDownloaded_ = false;
    refreshSeenLoading_ = false;
}

void MainFrameLoads::DownloadComplete() {
    if (refreshing_) refreshDownloaded_ = true;
}

void MainFrameLoads::FollowRefresh() {
    if (!refreshing_) return;
    if (!watch_.Holds()) {  // past its bound
        refreshing_ = false;
        return;
    }
    if (document_.ReadState() != DocumentState::Complete) {
        // The page is being replaced: its new document counts from now.
        if (!std::exchange(refreshSeenLoading_, true)) {
            watch_.Committed();
            document_.Refreshed();
        }
        return;
    }
    // Complete, but maybe still the old document: only once the refresh has
    // been seen replacing it, or its download is over.
    if (!refreshSeenLoading_ && refreshDownloaded_) document_.Refreshed();
    if (refreshSeenLoading_ || refreshDownloaded_) NavigationEnded();
}

}  // namespace autolabel::app::win32
