#include "app/win32/web_browser.h"

#include <mshtml.h>

#include <utility>

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

WebBrowser::WebBrowser(app::Browser::Delegate& owner)
    : app::Browser(owner), loads_(Navigation(), *this) {}

bool WebBrowser::Create(HWND parent, const RECT& bounds, std::wstring_view address) {
    Destroy();
    ComPtr<IOleObject> object;
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  object.PutVoid())))
        return false;
    BrowserSiteHandler& handler = *this;
    auto site = ComPtr<BrowserSite>::Adopt(new BrowserSite(parent, bounds, handler));
    if (FAILED(object->SetClientSite(site.Get()))) {
        site->Disconnect();
        return false;
    }
    RECT position = bounds;
    if (FAILED(
            object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, parent, &position))) {
        object->SetClientSite(nullptr);
        site->Disconnect();
        return false;
    }
    object_ = std::move(object);
    site_ = std::move(site);
    parent_ = parent;
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
        Navigate(std::wstring(address));
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

ShownPage WebBrowser::PageShown() {
    return {WideToUtf8(Target().LocationUrl()), origin_.FromPost(), {}};
}

namespace {

// The tool's reload on its way: a call into the page (the control may ask
// the leave-page question inside Navigate or Refresh2, a modal loop where
// the timer keeps ticking), and not the tool's press of the page's control.
class ReloadCall {
  public:
    explicit ReloadCall(bool& reloading) noexcept : reloading_(reloading) { reloading_ = true; }
    ~ReloadCall() { reloading_ = false; }
    ReloadCall(const ReloadCall&) = delete;
    ReloadCall& operator=(const ReloadCall&) = delete;

  private:
    DocumentCallScope call_;
    bool& reloading_;
};

}  // namespace

bool WebBrowser::ReloadFromServer() {
    const ReloadCall call(reloading_);
    return Target().Refresh2(PageReload::kReloadLevel);
}

bool WebBrowser::NavigateTo(const std::string& address) {
    const ReloadCall call(reloading_);
    return Target().Navigate(Utf8ToWide(address));
}

void WebBrowser::ReloadStarted(ReloadDecision::Kind kind) {
    loads_.ReloadStarted(kind == ReloadDecision::Kind::GoTo ? MainFrameLoads::Reload::Navigation
                                                            : MainFrameLoads::Reload::Refresh);
}

void WebBrowser::GoBack() {
    historyNext_ = true;
    if (browser_) browser_->GoBack();
}

void WebBrowser::GoForward() {
    historyNext_ = true;
    if (browser_) browser_->GoForward();
}

void WebBrowser::StopLoading() {
    if (browser_) browser_->Stop();
}

// The control's optical zoom, in percent (10 to 1000); its own keys for it
// are off where it is hosted.
void WebBrowser::SetZoomLevel(double level) {
    zoom_ = level;
    if (!browser_) return;
    UniqueVariant percent;
    percent.Get()->vt = VT_I4;
    percent.Get()->lVal = static_cast<LONG>(level * 100 + 0.5);
    browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, percent.Get(), nullptr);
}

namespace {

// A menu's loop (the tool's menu for the page, the control's own menus, the
// window's system menu) dispatches the window's messages, the timer's too.
bool InMenuLoop() {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    return ::GetGUIThreadInfo(::GetCurrentThreadId(), &thread) &&
           (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE));
}

}  // namespace

// The control's own modal UI, and whatever runs a modal loop of the page's:
// a tick or a click there (an alert from a click, a prompt of the control,
// the leave-page question of a reload) would start a whole pass inside the
// waiting one. Commands dispatched by the binding's walk are not inside a
// document call.
bool WebBrowser::ShowsDialog() {
    return (site_ && site_->ShowsModalUi()) || InMenuLoop() || DocumentCallScope::InProgress();
}

// The top-level page's load, as its events report it: from its start until
// it ends, past the readiness bound too (a page hanging on an image).
bool WebBrowser::IsLoading() {
    loads_.FollowRefresh();
    return Navigation().OnItsWay();
}

// Every kReadinessRecheckMs while the page is not ready: the end of a
// load's bound, and of a refresh read from its document, come with no event.
void WebBrowser::SetReadinessRecheck(bool on) {
    if (!on)
        readinessRecheck_.Reset();
    else if (!readinessRecheck_)
        readinessRecheck_ = StartThreadTimer(kReadinessRecheckMs, *this);
}

bool WebBrowser::OnBrowserKey(const MSG& key) {
    KeyPress press = KeyPressOf(key);
    // Asked of the page's documents only where it matters.
    if (press.key == Key::Backspace) press.focusIsEditable = FocusIsEditable(key.hwnd);
    return HandleKey(press);
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
    ForgetReadiness();
    DisconnectEvents();
    browser_.Reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.Reset();
    }
    if (site_) site_->Disconnect();
    site_.Reset();
    zoom_ = 1.0;
    requestedWidth_ = requestedHeight_ = 0;
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
    // A form's navigation, or the tool's reload, is not history's.
    if (carriesPostData || pressedByTheTool || reloading_) historyNext_ = false;
    loads_.NavigationStarting(carriesPostData || pressedByTheTool);
    CheckReadiness();
}

void WebBrowser::OnTopLevelNavigationDone() {
    origin_.NavigationDone();
    loads_.NavigationCommitted();
    DocumentCommitted(std::exchange(historyNext_, false));
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

// The owner's new window is of this shell's kind: its control shows the page.
ComPtr<IDispatch> WebBrowser::OnNewWindow() {
    auto* opened = dynamic_cast<WebBrowser*>(Owner().OpenNewWindow(*this));
    return opened ? opened->Application() : ComPtr<IDispatch>();
}

void WebBrowser::OnWindowClosing() { Owner().CloseWindow(*this); }

void WebBrowser::OnTitleChange(const std::wstring& title) {
    Owner().TitleChanged(*this, PageWindowTitle(WideToUtf8(title), WideToUtf8(LocationUrl())));
}

void WebBrowser::OnWindowSetWidth(int width) {
    requestedWidth_ = width;
    Owner().WindowSizeRequested(*this, requestedWidth_, requestedHeight_);
}

void WebBrowser::OnWindowSetHeight(int height) {
    requestedHeight_ = height;
    Owner().WindowSizeRequested(*this, requestedWidth_, requestedHeight_);
}

std::wstring WebBrowser::LocationUrl() {
    UniqueBstr address;
    if (!browser_ || FAILED(browser_->get_LocationURL(address.Put()))) return {};
    return std::wstring(address.View());
}

bool WebBrowser::Navigate(const std::wstring& address) {
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
