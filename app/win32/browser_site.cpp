#include "app/win32/browser_site.h"

#include <utility>

#include "app/win32/browser_keys.h"
#include "app/win32/file_drop_filter.h"

namespace autolabel::app::win32 {

using support::win32::AnswerQueryInterface;
using support::win32::ComPtr;

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
                                 {IID_IOleCommandTarget, static_cast<IOleCommandTarget*>(this)},
                                 {IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(this)}});
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
    *window = parent_;
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
    frameInfo->hwndFrame = parent_;
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

STDMETHODIMP BrowserSite::EnableModeless(BOOL enable) {
    if (!enable)
        ++modalUi_;
    else if (modalUi_ > 0)
        --modalUi_;
    if (handler_) handler_->OnModalUiChanged();
    return S_OK;
}

// The browser's keys (F5, Ctrl+R, Alt+Left and Right, zoom, Backspace
// outside a text field) are the tool's; every other key is the control's.
STDMETHODIMP BrowserSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD) {
    if (!message || !IsKeyDown(*message) || !handler_) return S_FALSE;
    return handler_->OnBrowserKey(*message) ? S_OK : S_FALSE;
}

STDMETHODIMP BrowserSite::ShowContextMenu(DWORD kind, POINT* at, IUnknown*, IDispatch*) {
    // The page's own menus (a link, a picture, a text field, a selection)
    // hold no reload and stay as the control shows them. The menu of the
    // page's background is the tool's: its reload is the tool's.
    if (kind != CONTEXT_MENU_DEFAULT) return S_FALSE;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return S_OK;
    ::AppendMenuW(menu, MF_STRING, kBack, L"后退(&B)\tAlt+←");
    ::AppendMenuW(menu, MF_STRING, kForward, L"前进(&O)\tAlt+→");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kReload, L"刷新(&R)\tF5");
    POINT where{};
    if (at)
        where = *at;
    else
        ::GetCursorPos(&where);
    const auto chosen =
        static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                           where.x, where.y, 0, parent_, nullptr));
    ::DestroyMenu(menu);
    RunContextCommand(chosen);
    return S_OK;
}

void BrowserSite::RunContextCommand(UINT command) {
    app::BrowserAction action = app::BrowserAction::PassOn;
    switch (command) {
        case kBack:
            action = app::BrowserAction::Back;
            break;
        case kForward:
            action = app::BrowserAction::Forward;
            break;
        case kReload:
            action = app::BrowserAction::Reload;
            break;
        default:
            return;  // nothing chosen
    }
    if (handler_) handler_->OnMenuCommand(action);
}

STDMETHODIMP BrowserSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (!info) return E_POINTER;
    if (info->cbSize < sizeof *info) return E_INVALIDARG;
    // No sunken border around the page inside the tool's own frame; the
    // page's controls and scroll bars in the system's visual style, as the
    // buttons below it; CSS pixels scaled to the system's DPI, as the
    // window's layout is (96 DPI: no change).
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME | DOCHOSTUIFLAG_DPI_AWARE;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

STDMETHODIMP BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key) *key = nullptr;
    return E_NOTIMPL;  // the system's settings, no key of the tool's
}

STDMETHODIMP BrowserSite::GetDropTarget(IDropTarget* own, IDropTarget** target) {
    if (!target) return E_POINTER;
    // The control's target, with files kept out.
    *target = new FileDropFilter(own);
    return S_OK;
}

STDMETHODIMP BrowserSite::GetExternal(IDispatch** external) {
    if (external) *external = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
    if (translated) *translated = nullptr;
    return S_FALSE;
}

STDMETHODIMP BrowserSite::FilterDataObject(IDataObject*, IDataObject** filtered) {
    if (filtered) *filtered = nullptr;
    return S_FALSE;
}

}  // namespace autolabel::app::win32
