// A DWebBrowserEvents2 sink: the events of the control that the window acts
// on, passed on to a handler in plain terms.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>

#include "support/win32/com_object.h"
#include "support/win32/com_ptr.h"

namespace autolabel::app::win32 {

class BrowserEventHandler {
  public:
    // A navigation of the top-level page is about to start.
    virtual void OnTopLevelNavigationStarting(bool carriesPostData) = 0;
    // The top-level page has moved to the address of the latest navigation:
    // its new document exists (NavigateComplete2).
    virtual void OnTopLevelNavigationDone() = 0;
    // The top-level document has finished loading, or its load was stopped.
    virtual void OnTopLevelDocumentComplete() = 0;
    // The top-level navigation failed.
    virtual void OnTopLevelNavigationFailed() = 0;
    // A navigation's download ended: finished, halted or failed; also the
    // end of a refresh, which raises no other navigation event.
    virtual void OnDownloadComplete() = 0;
    // A download is about to begin; `activeDocument` false: a file to save,
    // not a page to show.
    virtual void OnFileDownload(bool activeDocument) = 0;
    // The page asks for a new window: the control that is to show it, or
    // empty to refuse the window.
    virtual support::win32::ComPtr<IDispatch> OnNewWindow() = 0;
    // The page closes its own window (`window.close()`). The control itself
    // is kept either way: the owner closes the window, or leaves it open.
    virtual void OnWindowClosing() = 0;
    // The document's title, as it becomes known (the control gives the
    // address until the page's own title has been read).
    virtual void OnTitleChange(const std::wstring& title) = 0;
    // The page asks for the width or the height of its window (window.open
    // with a size, or a script setting it), in pixels.
    virtual void OnWindowSetWidth(int width) = 0;
    virtual void OnWindowSetHeight(int height) = 0;

  protected:
    ~BrowserEventHandler() = default;
};

class BrowserEvents final : public support::win32::ComObject<IDispatch> {
  public:
    // `topLevel` is the control itself; its identity tells the page's own
    // navigations from those of its frames. No reference is kept to either:
    // the control holds this sink until Disconnect.
    BrowserEvents(BrowserEventHandler& handler, IUnknown* topLevel) noexcept
        : handler_(&handler), topLevel_(topLevel) {}
    // No event reaches the handler afterwards.
    void Disconnect() noexcept { handler_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                        EXCEPINFO*, UINT*) override;

  private:
    ~BrowserEvents() override = default;
    bool IsTopLevel(const VARIANT& browser) const;

    BrowserEventHandler* handler_;
    IUnknown* topLevel_;
};

}  // namespace autolabel::app::win32
