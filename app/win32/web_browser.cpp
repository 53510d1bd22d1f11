#include "app/win32/web_browser.h"

#include <mshtml.h>
#include <ocidl.h>

#include "page/browser_host/win32/document_call.h"
#include "support/win32/unique_bstr.h"
#include "support/win32/unique_variant.h"

namespace autolabel::app::win32 {

using support::win32::ComPtr;
using support::win32::UniqueBstr;
using support::win32::UniqueVariant;

using browser_host::win32::DocumentCallScope;

bool WebBrowser::Create(HWND parent, const RECT& bounds, std::wstring_view address,
                        Callbacks callbacks) {
    Destroy();
    ComPtr<IOleObject> object;
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  object.PutVoid())))
        return false;
    auto site = ComPtr<BrowserSite>::Adopt(new BrowserSite(parent, bounds));
    if (FAILED(object->SetClientSite(site.Get()))) return false;
    RECT position = bounds;
    if (FAILED(
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, parent, &position))) {
        object->SetClientSite(nullptr);
        return false;
    }
    object_ = std::move(object);
    site_ = std::move(site);
    callbacks_ = std::move(callbacks);
    site_->SetPageCommands(PageCommands());
    browser_ = object_.Query<IWebBrowser2>();
    if (auto window = object_.Query<IOleInPlaceObject>()) {
        window->GetWindow(&window_);
        window->SetObjectRects(&position, &position);
    }
    ConnectEvents();
    if (!browser_) return true;
    // Nothing dropped on the page navigates the control (the site's drop
    // target keeps files out of the page as well).
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
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
    // The control may ask the leave-page question inside Navigate or
    // Refresh2, a modal loop where the timer keeps ticking.
    const DocumentCallScope call;
    if (browser_) origin_.Reload(*this);
}

bool WebBrowser::IsPageReady() const {
    return !navigation_.Holds() && !(site_ && site_->ShowsModalUi());
}

BrowserSite::PageCommands WebBrowser::PageCommands() {
    BrowserSite::PageCommands commands;
    commands.reload = [this] {
        if (callbacks_.reload)
            callbacks_.reload();
        else
            Reload();
    };
    commands.goBack = [this] {
        if (browser_) browser_->GoBack();
    };
    commands.goForward = [this] {
        if (browser_) browser_->GoForward();
    };
    commands.focusIsEditable = [this] { return FocusIsEditable(); };
    return commands;
}

bool WebBrowser::FocusIsEditable() const {
    if (!browser_) return false;
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.Put())) || !document) return false;
    auto html = document.Query<IHTMLDocument2>();
    ComPtr<IHTMLElement> focus;
    if (!html || FAILED(html->get_activeElement(focus.Put())) || !focus) return false;
    if (auto element = focus.Query<IHTMLElement3>()) {
        VARIANT_BOOL editable = VARIANT_FALSE;
        if (SUCCEEDED(element->get_isContentEditable(&editable)) && editable) return true;
    }
    UniqueBstr tag;
    if (FAILED(focus->get_tagName(tag.Put()))) return false;
    const std::wstring_view name = tag.View();
    if (::_wcsicmp(std::wstring(name).c_str(), L"textarea") == 0) return true;
    if (::_wcsicmp(std::wstring(name).c_str(), L"input") != 0) return false;
    auto input = focus.Query<IHTMLInputElement>();
    UniqueBstr type;
    if (!input || FAILED(input->get_type(type.Put()))) return true;
    for (const wchar_t* notText :
         {L"button", L"submit", L"reset", L"checkbox", L"radio", L"image", L"file", L"hidden"})
        if (::_wcsicmp(std::wstring(type.View()).c_str(), notText) == 0) return false;
    return true;
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
    navigation_.Ended();
    window_ = nullptr;
}

void WebBrowser::OnTopLevelNavigationStarting(bool carriesPostData) {
    origin_.NavigationStarting(carriesPostData);
    // The old document stays shown until the new one arrives.
    navigation_.Started();
}

void WebBrowser::OnTopLevelNavigationEnded() { navigation_.Ended(); }

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
    auto url = UniqueBstr::From(address);
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
