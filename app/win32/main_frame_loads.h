// Follows the loads of the control's top-level page. While the control
// fetches the next page it keeps showing the old document, so the page is
// not ready for the tool's commands:
// - a form's navigation (BeforeNavigate2 with post data, or one begun by
//   the tool's own press of the page's control) until the new document is
//   committed (NavigateComplete2), however late the answer comes;
// - any other navigation for the watch's bound from its start;
// - the tool's own reload from the moment it is asked for; Refresh2 raises
//   no navigation events, so there the document itself is read until it is
//   complete (after its DownloadComplete, or once it was seen loading);
// and after a commit for the bound from the commit. Every end lets the
// commands go: DocumentComplete (also after a stop), NavigateError, an
// answer that is a file to save (FileDownload, not an active document).
#pragma once

#include "app/navigation_watch.h"
#include "app/win32/document_state.h"

namespace autolabel::app::win32 {

class MainFrameLoads {
  public:
    // Where the page's document is read: the one the binding would take.
    class Document {
      public:
        virtual DocumentState ReadState() = 0;
        // The tool's refresh has put a new document from the server in
        // place (a refresh raises no NavigateComplete2).
        virtual void Refreshed() = 0;

      protected:
        ~Document() = default;
    };

    // Follows the loads into `watch`, the browser's.
    MainFrameLoads(NavigationWatch& watch, Document& document)
        : watch_(watch), document_(document) {}

    // BeforeNavigate2 of the top-level page: a new navigation, which takes
    // over from a reload or navigation on its way.
    void NavigationStarting(bool submitsForm);
    // NavigateComplete2: the new document exists.
    void NavigationCommitted() { watch_.Committed(); }
    // DocumentComplete, NavigateError, a stop, a file to save.
    void NavigationEnded();
    // The tool's own reload, made by Refresh2 (no navigation events) or by
    // a navigation to the page's address.
    enum class Reload { Refresh, Navigation };
    void ReloadStarted(Reload reload);
    // DownloadComplete: a navigation's or a refresh's download has ended.
    void DownloadComplete();
    // During the tool's refresh, reads the document to tell its end; read
    // before the watch is asked.
    void FollowRefresh();

  private:
    NavigationWatch& watch_;
    Document& document_;
    bool refreshing_ = false;
    bool refreshDownloaded_ = false;  // its DownloadComplete has come
    bool refreshSeenLoading_ = false;
};

}  // namespace autolabel::app::win32
