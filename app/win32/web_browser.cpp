#include "app/win32/web_browser.h"

#include <ocidl.h>

#include "page/browser_host/win32/unique_bstr.h"
#include "page/browser_host/win32/unique_variant.h"

namespace autolabel::app::win32 {

using browser_host::win32::UniqueBstr;
using browser_host::win32::UniqueVariant;

bool WebBrowser::Create(HWND host, const RECT& bounds, std::wstring_view address,
                        Callbacks callbacks) {
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
    callbacks_ = std::move(callbacks);
    browser_ = object_.Query<IWebBrowser2>();
    if (auto window = object_.Query<IOleInPlaceObject>()) {
        window->GetWindow(&window_);
        window->SetObjectRects(&position, &position);
    }
    ConnectEvents();
    if (!browser_) return true;
    if (address.empty())
        browser_->put_RegisterAsBrowser(VARIANT_TRUE);  // a new window's control, for its opener
    else
        NavigateTo(std::wstring(address));
    return true;
}

void WebBrowser::ConnectEvents() {
    auto container = object_.Query<IConnectionPointContainer>();
    if (!container) return;
    ComPtr<IConnectionPoint> source;
    if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, source.Put()))) return;
    auto identity = object_.Query<IUnknown>();
    auto events = ComPtr<BrowserEvents>::Adopt(new BrowserEvents(*this, identity.Get()));
    DWORD cookie = 0;
    if (FAILED(source->Advise(static_cast<IDispatch*>(events.Get()), &cookie))) return;
    events_ = std::move(events);
    eventSource_ = std::move(source);
    eventCookie_ = cookie;
}

void WebBrowser::DisconnectEvents() {
    if (events_) events_->Disconnect();
    if (eventSource_) eventSource_->Unadvise(eventCookie_);
    eventSource_.Reset();
    events_.Reset();
    eventCookie_ = 0;
}

void WebBrowser::Reload() {
    if (browser_) origin_.Reload(*this);
}

bool WebBrowser::Contains(HWND window) const noexcept {
    return window_ && window && (window == window_ || ::IsChild(window_, window));
}

void WebBrowser::SetBounds(const RECT& bounds) {
    if (site_) site_->SetBounds(bounds);
    if (auto window = object_.Query<IOleInPlaceObject>()) window->SetObjectRects(&bounds, &bounds);
}

bool WebBrowser::TranslateAccelerator(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    // Keys for the tool's own buttons (F5, Backspace, Ctrl+N, Ctrl+P) must
    // never reach the page.
    if (!site_ || !Contains(message.hwnd)) return false;
    const ComPtr<IOleInPlaceActiveObject>& active = site_->ActiveObject();
    return active && active->TranslateAccelerator(&message) == S_OK;
}

void WebBrowser::OnFrameActivate(bool active) {
    if (site_ && site_->ActiveObject()) site_->ActiveObject()->OnFrameWindowActivate(active);
}

ComPtr<IDispatch> WebBrowser::Application() const {
    ComPtr<IDispatch> application;
    if (browser_) browser_->get_Application(application.Put());
    return application;
}

void WebBrowser::Destroy() {
    DisconnectEvents();
    browser_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    site_.Reset();
    callbacks_ = {};
    origin_ = {};
    window_ = nullptr;
}

void WebBrowser::OnTopLevelNavigationStarting(bool carriesPostData) {
    origin_.NavigationStarting(carriesPostData);
}

void WebBrowser::OnTopLevelNavigationDone() { origin_.NavigationDone(); }

ComPtr<IDispatch> WebBrowser::OnNewWindow() {
    return callbacks_.openNewWindow ? callbacks_.openNewWindow() : ComPtr<IDispatch>();
}

void WebBrowser::OnWindowClosing() {
    if (callbacks_.closeWindow) callbacks_.closeWindow();
}

std::wstring WebBrowser::LocationUrl() {
    UniqueBstr address;
    if (!browser_ || FAILED(browser_->get_LocationURL(address.Put()))) return {};
    return std::wstring(address.View());
}

void WebBrowser::NavigateTo(const std::wstring& address) {
    UniqueBstr url(address);
    UniqueVariant none;
    browser_->Navigate(url.Get(), none.Get(), none.Get(), none.Get(), none.Get());
}

void WebBrowser::Refresh2(int level) {
    UniqueVariant value;
    value.Get()->vt = VT_I4;
    value.Get()->lVal = level;
    browser_->Refresh2(value.Get());
}

}  // namespace autolabel::app::win32
