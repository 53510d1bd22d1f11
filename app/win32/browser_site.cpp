#include "app/win32/browser_site.h"

namespace autolabel::app::win32 {

using browser_host::win32::AnswerQueryInterface;

namespace {

// CGID_DocHostCommandHandler, the command group of the control's document
// host, which mingw-w64 declares but does not define.
constexpr GUID kDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

}  // namespace

STDMETHODIMP BrowserSite::QueryInterface(REFIID iid, void** object) {
    return AnswerQueryInterface(iid, object,
                                {{IID_IUnknown, static_cast<IOleClientSite*>(this)},
                                 {IID_IOleClientSite, static_cast<IOleClientSite*>(this)},
                                 {IID_IOleWindow, static_cast<IOleInPlaceSite*>(this)},
                                 {IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this)},
                                 {IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(this)},
                                 {IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this)},
                                 {IID_IOleCommandTarget, static_cast<IOleCommandTarget*>(this)}});
}

STDMETHODIMP BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::GetContainer(IOleContainer** container) {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP BrowserSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = host_;
    return S_OK;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    AddRef();  // the caller owns the frame reference
    *frame = static_cast<IOleInPlaceFrame*>(this);
    *document = nullptr;
    *position = bounds_;
    *clip = bounds_;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = host_;
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP BrowserSite::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) {
    active_ = ComPtr<IOleInPlaceActiveObject>::Share(active);  // null when it deactivates
    return S_OK;
}

STDMETHODIMP BrowserSite::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*) {
    return group && ::IsEqualGUID(*group, kDocHostCommandHandler) ? OLECMDERR_E_NOTSUPPORTED
                                                                  : OLECMDERR_E_UNKNOWNGROUP;
}

STDMETHODIMP BrowserSite::Exec(const GUID* group, DWORD command, DWORD, VARIANT*, VARIANT* out) {
    if (!group || !::IsEqualGUID(*group, kDocHostCommandHandler)) return OLECMDERR_E_UNKNOWNGROUP;
    if (command != OLECMDID_SHOWSCRIPTERROR) return OLECMDERR_E_NOTSUPPORTED;
    // A page's script error: no dialog, and the page's scripts go on running.
    // Every one of them would otherwise be a modal dialog, again at each pass.
    if (out) {
        ::VariantClear(out);
        out->vt = VT_BOOL;
        out->boolVal = VARIANT_TRUE;
    }
    return S_OK;
}

}  // namespace autolabel::app::win32
