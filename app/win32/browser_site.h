// The container side that the WebBrowser control needs to live in place in
// our window: a client site, an in-place site and an in-place frame. Written
// out by hand since there is no ATL; everything optional says "not here".
#pragma once

#include <windows.h>
#include <docobj.h>
#include <mshtmhst.h>
#include <ole2.h>

#include "app/browser_keys.h"
#include "support/win32/com_object.h"
#include "support/win32/com_ptr.h"

namespace autolabel::app::win32 {

// What the site hands on to the browser: the page's keys and menu, which
// the control leaves to its host, and its modal UI.
class BrowserSiteHandler {
  public:
    // A key for the control: true when it was a browser's key and has been
    // acted on, so the control never sees it.
    virtual bool OnBrowserKey(const MSG& key) = 0;
    // A command of the page's context menu, run as its key would run it.
    virtual void OnMenuCommand(app::BrowserAction action) = 0;
    // The control began or ended modal UI of its own.
    virtual void OnModalUiChanged() = 0;

  protected:
    ~BrowserSiteHandler() = default;
};

class BrowserSite final
    : public support::win32::ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                       IOleCommandTarget, IDocHostUIHandler> {
  public:
    // The context menu's commands, as TrackPopupMenu returns them.
    enum ContextCommand : UINT { kBack = 1, kForward, kReload };

    // Starts with one reference, for ComPtr::Adopt. The control holds the
    // site until it lets it go: nothing reaches `handler` after Disconnect.
    BrowserSite(HWND parent, const RECT& bounds, BrowserSiteHandler& handler) noexcept
        : parent_(parent), bounds_(bounds), handler_(&handler) {}
    void Disconnect() noexcept { handler_ = nullptr; }

    // Where the control now lives in its parent window (client coordinates).
    void SetBounds(const RECT& bounds) noexcept { bounds_ = bounds; }
    // The control's active object, as it handed it over when it went UI
    // active: the one that sees keys and frame activation. Empty before.
    const support::win32::ComPtr<IOleInPlaceActiveObject>& ActiveObject() const noexcept {
        return active_;
    }
    // Whether the control shows modal UI of its own (a page's alert outside
    // the tool's calls, the leave-page question, a sign-in or certificate
    // prompt): it says so through EnableModeless.
    bool ShowsModalUi() const noexcept { return modalUi_ > 0; }
    // The control reports a new document: a FALSE left unpaired (its TRUE
    // lost with the document that showed the UI) no longer counts.
    void ResetModalUi() noexcept { modalUi_ = 0; }
    // Runs a command of the context menu for the page's background.
    void RunContextCommand(UINT command);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }  // the layout is fixed

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no toolbars, menus or status bar
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    // Shared with IDocHostUIHandler: the control reports its modal UI on
    // either, FALSE as it shows it and TRUE as it goes, in pairs.
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleCommandTarget: the control asks here what to do about a script
    // error of the page; everything else is left to the control.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                             OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                      VARIANT* out) override;

    // IDocHostUIHandler: the page's keys and context menu; the rest as the
    // control does it by default.
    STDMETHODIMP ShowContextMenu(DWORD kind, POINT* at, IUnknown*, IDispatch*) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID*, DWORD) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget* own, IDropTarget** target) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override;

  private:
    ~BrowserSite() override = default;

    HWND parent_;
    RECT bounds_;
    support::win32::ComPtr<IOleInPlaceActiveObject> active_;
    BrowserSiteHandler* handler_;
    int modalUi_ = 0;
};

}  // namespace autolabel::app::win32
