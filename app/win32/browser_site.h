// The container side that the WebBrowser control needs to live in place in
// our window: a client site, an in-place site and an in-place frame. Written
// out by hand since there is no ATL; everything optional says "not here".
#pragma once

#include <windows.h>
#include <docobj.h>
#include <ole2.h>

#include "page/browser_host/win32/com_object.h"
#include "page/browser_host/win32/com_ptr.h"

namespace autolabel::app::win32 {

using browser_host::win32::ComPtr;

class BrowserSite final
    : public browser_host::win32::ComObject<IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                                            IOleCommandTarget> {
  public:
    // Starts with one reference, for ComPtr::Adopt.
    BrowserSite(HWND host, const RECT& bounds) noexcept : host_(host), bounds_(bounds) {}

    // Where the control now lives in the host (client coordinates).
    void SetBounds(const RECT& bounds) noexcept { bounds_ = bounds; }
    // The control's active object, as it handed it over when it went UI
    // active: the one that sees keys and frame activation. Empty before.
    const ComPtr<IOleInPlaceActiveObject>& ActiveObject() const noexcept { return active_; }

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
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleCommandTarget: the control asks here what to do about a script
    // error of the page; everything else is left to the control.
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands,
                             OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in,
                      VARIANT* out) override;

  private:
    ~BrowserSite() override = default;

    HWND host_;
    RECT bounds_;
    ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace autolabel::app::win32
