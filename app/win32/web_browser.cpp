#include "app/win32/web_browser.h"

#include "page/browser_host/win32/unique_bstr.h"
#include "page/browser_host/win32/unique_variant.h"

namespace autolabel::app::win32 {

using browser_host::win32::UniqueBstr;
using browser_host::win32::UniqueVariant;

bool WebBrowser::Create(HWND host, const RECT& bounds, std::wstring_view address) {
    Destroy();
    ComPtr<IOleObject> object;
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  object.PutVoid())))
        return false;
    auto site = ComPtr<BrowserSite>::Adopt(new BrowserSite(host, bounds));
    if (FAILED(object->SetClientSite(site.Get()))) return false;
    RECT position = bounds;
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, host, &position))) {
        object->SetClientSite(nullptr);
        return false;
    }
    object_ = std::move(object);
    site_ = std::move(site);
    browser_ = object_.Query<IWebBrowser2>();
    if (auto window = object_.Query<IOleInPlaceObject>()) {
        window->GetWindow(&window_);
        window->SetObjectRects(&position, &position);
    }
    if (browser_) {
        UniqueBstr url(address);
        UniqueVariant none;
        browser_->Navigate(url.Get(), none.Get(), none.Get(), none.Get(), none.Get());
    }
    return true;
}

void WebBrowser::Reload() {
    if (browser_) browser_->Refresh();
}

bool WebBrowser::TranslateAccelerator(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    auto active = object_.Query<IOleInPlaceActiveObject>();
    return active && active->TranslateAccelerator(&message) == S_OK;
}

void WebBrowser::Destroy() {
    browser_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    site_.Reset();
    window_ = nullptr;
}

}  // namespace autolabel::app::win32
