#include "app/win32/browser_events.h"

#include <exdispid.h>

#include <string>

#include "support/win32/unique_bstr.h"

namespace autolabel::app::win32 {

using support::win32::AnswerQueryInterface;
using support::win32::ComPtr;

namespace {

// The events hand their arguments over last to first.
VARIANT* Argument(DISPPARAMS& parameters, UINT index, UINT count) {
    if (parameters.cArgs != count || index >= count) return nullptr;
    return &parameters.rgvarg[count - 1 - index];
}

// Looks through VT_BYREF | VT_VARIANT, as the control passes the post data.
const VARIANT* Referenced(const VARIANT* value) {
    if (value && value->vt == (VT_BYREF | VT_VARIANT)) return value->pvarVal;
    return value;
}

bool CarriesData(const VARIANT* postData) {
    postData = Referenced(postData);
    if (!postData || !(postData->vt & VT_ARRAY)) return false;
    SAFEARRAY* bytes = (postData->vt & VT_BYREF) ? *postData->pparray : postData->parray;
    if (!bytes || ::SafeArrayGetDim(bytes) != 1) return false;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(bytes, 1, &lower);
    ::SafeArrayGetUBound(bytes, 1, &upper);
    return upper >= lower;
}

void SetBoolean(VARIANT* target, bool value) {
    if (target && target->vt == (VT_BYREF | VT_BOOL) && target->pboolVal)
        *target->pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

STDMETHODIMP BrowserEvents::QueryInterface(REFIID iid, void** object) {
    return AnswerQueryInterface(
        iid, object,
        {{IID_IUnknown, this}, {IID_IDispatch, this}, {DIID_DWebBrowserEvents2, this}});
}

STDMETHODIMP BrowserEvents::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;  // events are called by their DISPID
}

bool BrowserEvents::IsTopLevel(const VARIANT& browser) const {
    if (browser.vt != VT_DISPATCH || !browser.pdispVal || !topLevel_) return false;
    // COM identity: compare IUnknown pointers, not interface pointers.
    ComPtr<IUnknown> identity;
    browser.pdispVal->QueryInterface(IID_IUnknown, identity.PutVoid());
    return identity.Get() == topLevel_;
}

STDMETHODIMP BrowserEvents::Invoke(DISPID event, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                   VARIANT*, EXCEPINFO*, UINT*) {
    if (!parameters) return E_INVALIDARG;
    if (!handler_) return S_OK;
    switch (event) {
        case DISPID_BEFORENAVIGATE2: {
            // (browser, address, flags, frame name, post data, headers, cancel)
            const VARIANT* browser = Argument(*parameters, 0, 7);
            if (browser && IsTopLevel(*browser))
                handler_->OnTopLevelNavigationStarting(CarriesData(Argument(*parameters, 4, 7)));
            return S_OK;
        }
        case DISPID_NAVIGATECOMPLETE2: {
            // (browser, address)
            const VARIANT* browser = Argument(*parameters, 0, 2);
            if (browser && IsTopLevel(*browser)) handler_->OnTopLevelNavigationDone();
            return S_OK;
        }
        case DISPID_DOCUMENTCOMPLETE: {
            // (browser, address): the top-level one comes last, after its frames'
            const VARIANT* browser = Argument(*parameters, 0, 2);
            if (browser && IsTopLevel(*browser)) handler_->OnTopLevelDocumentComplete();
            return S_OK;
        }
        case DISPID_NAVIGATEERROR: {
            // (browser, address, frame name, status code, cancel)
            const VARIANT* browser = Argument(*parameters, 0, 5);
            if (browser && IsTopLevel(*browser)) handler_->OnTopLevelNavigationFailed();
            return S_OK;
        }
        case DISPID_DOWNLOADCOMPLETE:
            handler_->OnDownloadComplete();
            return S_OK;
        case DISPID_FILEDOWNLOAD: {
            // (is an active document, cancel: out)
            const VARIANT* active = Referenced(Argument(*parameters, 0, 2));
            if (active && active->vt == VT_BOOL)
                handler_->OnFileDownload(active->boolVal != VARIANT_FALSE);
            return S_OK;
        }
        case DISPID_NEWWINDOW3: {
            // (the new window's control: out, cancel: out, flags, opener's address, address)
            VARIANT* target = Argument(*parameters, 0, 5);
            VARIANT* cancel = Argument(*parameters, 1, 5);
            if (!target || target->vt != (VT_BYREF | VT_DISPATCH) || !target->ppdispVal)
                return S_OK;
            ComPtr<IDispatch> window = handler_->OnNewWindow();
            if (window) {
                *target->ppdispVal = window.Detach();  // the control takes this reference
                SetBoolean(cancel, false);
            } else {
                SetBoolean(cancel, true);  // no window of ours: none at all
            }
            return S_OK;
        }
        case DISPID_TITLECHANGE: {
            // (text)
            const VARIANT* text = Referenced(Argument(*parameters, 0, 1));
            if (text && text->vt == VT_BSTR)
                handler_->OnTitleChange(std::wstring(support::win32::BstrView(text->bstrVal)));
            return S_OK;
        }
        case DISPID_WINDOWSETWIDTH:
        case DISPID_WINDOWSETHEIGHT: {
            // (width or height)
            const VARIANT* size = Referenced(Argument(*parameters, 0, 1));
            if (!size || size->vt != VT_I4) return S_OK;
            if (event == DISPID_WINDOWSETWIDTH)
                handler_->OnWindowSetWidth(size->lVal);
            else
                handler_->OnWindowSetHeight(size->lVal);
            return S_OK;
        }
        case DISPID_WINDOWCLOSING: {
            // (is a child window, cancel: out)
            SetBoolean(Argument(*parameters, 1, 2), true);
            handler_->OnWindowClosing();
            return S_OK;
        }
        default:
            return S_OK;
    }
}

}  // namespace autolabel::app::win32
