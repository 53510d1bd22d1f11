#include "app/win32/web_browser.h"

#include <mshtml.h>
#include <ocidl.h>

#include <string_view>
#include <utility>

#include "app/reload_decision.h"
#include "app/win32/browser_keys.h"
#include "app/win32/editable_focus.h"
#include "page/browser_host/document_window.h"
#include "page/browser_host/win32/dispatch_object.h"
#include "page/browser_host/win32/document_call.h"
#include "page/browser_host/win32/win32_platform.h"
#include "page/browser_host/win32/window_handle.h"
#include "support/win32/unique_bstr.h"
#include "support/win32/unique_variant.h"
#include "support/win32/utf16.h"

namespace autolabel::app::win32 {

using namespace support::win32;

using namespace browser_host::win32;

WebBrowser::WebBrowser() : loads_([this] { return ReadDocumentState(window_); }) {}

bool WebBrowser::Create(HWND parent, const RECT& bounds, std::wstring_view address,
                        Delegate& delegate) {
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
    parent_ = parent;
    delegate_ = &delegate;
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
    auto identity = object_.Query<IUnknown>();
    auto events = ComPtr<BrowserEvents>::Adopt(new BrowserEvents(*this, identity.Get()));
    connection_ = Advise(object_.Get(), DIID_DWebBrowserEvents2, events.Get());
    if (connection_) events_ = std::move(events);
}

void WebBrowser::DisconnectEvents() {
    if (events_) events_->Disconnect();
    connection_.Reset();
    events_.Reset();
}

void WebBrowser::Reload() {
    if (!browser_ && !reloadTarget_) return;
    // The control may ask the leave-page question inside Navigate or
    // Refresh2, a modal loop where the timer keeps ticking.
    const DocumentCallScope call;
    ReloadTarget& control = reloadTarget_ ? *reloadTarget_ : *this;
    const std::string address = WideToUtf8(control.LocationUrl());
    const ReloadDecision decision = DecideReload({address, origin_.FromPost(), {}});
    reloading_ = true;
    switch (decision.kind) {
        case ReloadDecision::Kind::ReloadCompletely:
            if (control.Refresh2(PageReload::kReloadLevel))
                loads_.ReloadStarted(MainFrameLoads::Reload::Refresh);
            break;
        case ReloadDecision::Kind::GoTo:
            if (control.NavigateTo(Utf8ToWide(decision.address)))
                loads_.ReloadStarted(MainFrameLoads::Reload::Navigation);
            break;
        case ReloadDecision::Kind::Nothing:
            break;
    }
    reloading_ = false;
    CheckReadiness();
}

bool WebBrowser::IsPageReady() { return !loads_.OnItsWay() && !(site_ && site_->ShowsModalUi()); }

// The readiness is checked after every event that may change it, and again
// every kReadinessRecheckMs while the page is not ready: the end of a load's
// bound, and of a refresh read from its document, come with no event.
namespace {

constexpr UINT kReadinessRecheckMs = 250;

}  // namespace

void WebBrowser::CheckReadiness() {
    if (!delegate_) return;
    const bool ready = IsPageReady();
    if (!ready && !readinessRecheck_)
        readinessRecheck_ = StartThreadTimer(kReadinessRecheckMs, *this);
    else if (ready)
        readinessRecheck_.Reset();
    if (ready == ready_) return;
    ready_ = ready;
    delegate_->ReadinessChanged(*this, ready);
}

BrowserSite::PageCommands WebBrowser::PageCommands() {
    BrowserSite::PageCommands commands;
    commands.browserKey = [this](const MSG& key) { return TakeBrowserKey(key); };
    commands.run = [this](BrowserAction action) { Run(action); };
    commands.modalUiChanged = [this] { CheckReadiness(); };
    return commands;
}

bool WebBrowser::TakeBrowserKey(const MSG& key) {
    const BrowserAction action =
        BrowserActionFor(KeyPressOf(key, [&] { return FocusIsEditable(key.hwnd); }));
    if (action == BrowserAction::PassOn) return false;
    Run(action);
    return true;
}

void WebBrowser::Run(BrowserAction action) {
    switch (action) {
        case BrowserAction::Reload:
            if (delegate_)
                delegate_->ReloadRequested(*this);
            else
                Reload();
            break;
        case BrowserAction::Back:
            if (browser_) browser_->GoBack();
            break;
        case BrowserAction::Forward:
            if (browser_) browser_->GoForward();
            break;
        case BrowserAction::ZoomIn:
            SetZoom(ZoomedIn(zoom_));
            break;
        case BrowserAction::ZoomOut:
            SetZoom(ZoomedOut(zoom_));
            break;
        case BrowserAction::ZoomReset:
            SetZoom(1.0);
            break;
        case BrowserAction::Stop:
            if (browser_) browser_->Stop();
            break;
        case BrowserAction::PassOn:
        case BrowserAction::Swallow:
            break;
    }
}

// The control's optical zoom, in percent (10 to 1000); its own keys for it
// are off where it is hosted.
void WebBrowser::SetZoom(double level) {
    zoom_ = level;
    if (!browser_) return;
    UniqueVariant percent;
    percent.Get()->vt = VT_I4;
    percent.Get()->lVal = static_cast<LONG>(level * 100 + 0.5);
    browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, percent.Get(), nullptr);
}

namespace {

// The document shown in `window` when it is the page's document window,
// asked as the binding asks it.
browser_host::DomRef DocumentInWindow(HWND window) {
    Win32Platform platform;
    const browser_host::WindowHandle handle = FromHwnd(window);
    browser_host::DomRef document;
    if (window && browser_host::IsDocumentWindow(platform, handle))
        browser_host::RequestDocument(platform, handle, document);
    return document;
}

}  // namespace

bool WebBrowser::FocusIsEditable(HWND keyWindow) const {
    // The document of the window the key was typed in, else the control's.
    browser_host::DomRef document = DocumentInWindow(keyWindow);
    if (!document && browser_) {
        ComPtr<IDispatch> shown;
        browser_->get_Document(shown.Put());
        document = DispatchObject::Wrap(std::move(shown));
    }
    return win32::FocusIsEditable(document);
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
    // Held for the call: the key may make the control hand over another.
    const ComPtr<IOleInPlaceActiveObject> active = site_->ActiveObject();
    return active && active->TranslateAccelerator(&message) == S_OK;
}

bool WebBrowser::TakeFocus(const MSG& tab) {
    if (!object_ || !window_) return false;
    // Not yet active for the user (the page never clicked): as a click would.
    if (!site_->ActiveObject()) {
        RECT bounds{};
        ::GetWindowRect(window_, &bounds);
        ::MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&bounds), 2);
        object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_.Get(), 0, parent_, &bounds);
    }
    // The innermost window: the document's, once there is one.
    HWND target = window_;
    while (HWND child = ::GetWindow(target, GW_CHILD)) target = child;
    ::SetFocus(target);
    MSG key = tab;
    key.hwnd = target;
    // Where the control does not use it, the focus stays on the page.
    if (const ComPtr<IOleInPlaceActiveObject> active = site_->ActiveObject())
        active->TranslateAccelerator(&key);
    return true;
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
    readinessRecheck_.Reset();
    ready_ = true;
    DisconnectEvents();
    browser_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    site_.Reset();
    delegate_ = nullptr;
    zoom_ = 1.0;
    origin_ = {};
    loads_.NavigationEnded();
    window_ = nullptr;
    parent_ = nullptr;
}

void WebBrowser::OnTopLevelNavigationStarting(bool carriesPostData) {
    origin_.NavigationStarting(carriesPostData);
    // The old document stays shown until the new one arrives. A form sends
    // post data; a navigation begun inside one of the tool's calls into the
    // page, other than its reload, is its press of the page's control (a
    // form that sends by GET carries no data).
    const bool pressedByTheTool = DocumentCallScope::InProgress() && !reloading_;
    loads_.NavigationStarting(carriesPostData || pressedByTheTool);
    CheckReadiness();
}

void WebBrowser::OnTopLevelNavigationDone() {
    origin_.NavigationDone();
    loads_.NavigationCommitted();
    CheckReadiness();
}

void WebBrowser::OnTopLevelDocumentComplete() {
    loads_.NavigationEnded();
    // A new document: whatever modal UI the old one reported is gone, even
    // if its end was never reported.
    if (site_) site_->ResetModalUi();
    CheckReadiness();
}

void WebBrowser::OnTopLevelNavigationFailed() {
    loads_.NavigationEnded();
    CheckReadiness();
}

void WebBrowser::OnDownloadComplete() {
    loads_.DownloadComplete();
    CheckReadiness();
}

void WebBrowser::OnFileDownload(bool activeDocument) {
    // The answer is a file to save: no new page comes, the old one stays.
    if (!activeDocument) loads_.NavigationEnded();
    CheckReadiness();
}

ComPtr<IDispatch> WebBrowser::OnNewWindow() {
    return delegate_ ? delegate_->OpenNewWindow(*this) : ComPtr<IDispatch>();
}

void WebBrowser::OnWindowClosing() {
    if (delegate_) delegate_->CloseWindow(*this);
}

std::wstring WebBrowser::LocationUrl() {
    UniqueBstr address;
    if (!browser_ || FAILED(browser_->get_LocationURL(address.Put()))) return {};
    return std::wstring(address.View());
}

bool WebBrowser::NavigateTo(const std::wstring& address) {
    auto url = UniqueBstr::From(address);
    UniqueVariant none;
    return browser_ &&
           SUCCEEDED(browser_->Navigate(url.Get(), none.Get(), none.Get(), none.Get(), none.Get()));
}

bool WebBrowser::Refresh2(int level) {
    UniqueVariant value;
    value.Get()->vt = VT_I4;
    value.Get()->lVal = level;
    return browser_ && SUCCEEDED(browser_->Refresh2(value.Get()));
}

}  // namespace autolabel::app::win32
