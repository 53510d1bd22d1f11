// The control in the real MainWindow as Windows 10 and 11 run it: script
// errors answered without a dialog, keys only for the focus in the page,
// the focus kept across activation, navigations followed so that a reload
// never posts again, new windows of the tool's own, and quiet navigation.
#include <windows.h>
#include <docobj.h>
#include <exdispid.h>
#include <gtest/gtest.h>
#include <mshtmhst.h>
#include <urlmon.h>

#include <string>
#include <utility>
#include <vector>

#include "app/navigation_watch.h"
#include "app/win32/page_reload.h"
#include "app/win32/system_dpi.h"
#include "app/win32/window_layout.h"
#include "support/win32/unique_bstr.h"
#include "support/win32/unique_variant.h"
#include "tests/win32/support/main_window_fixture.h"
#include "tests/win32/support/test_active_object.h"
#include "tests/win32/support/test_document.h"
#include "tests/win32/support/test_windows.h"

namespace autolabel::tests::win32 {
using app::NavigationWatch;
using namespace app::win32;

using tests::win32::RunMessagesUntil;

using namespace support::win32;
namespace {

using browser_host::win32::Win32Platform;

// The document host's command group, as documented.
constexpr GUID kDocHostCommandHandler = {
    0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

// Raises an event on a sink as the control does: arguments last to first.
HRESULT RaiseEvent(IDispatch* sink, DISPID event, std::vector<VARIANT> arguments) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr,
                        nullptr, nullptr);
}

VARIANT Dispatch(IDispatch* object) {
    VARIANT v;
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

VARIANT Text(const UniqueBstr& text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();
    return v;
}

VARIANT Referring(VARIANT* target) {
    VARIANT v;
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}

// An out-argument the handler may set, such as an event's cancel.
VARIANT Referring(VARIANT_BOOL* flag) {
    VARIANT v;
    v.vt = VT_BYREF | VT_BOOL;
    v.pboolVal = flag;
    return v;
}

VARIANT Boolean(bool value) {
    VARIANT v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

// An event of `browser` whose arguments are the browser and its address.
void RaiseAddressEvent(IDispatch* sink, DISPID event, IDispatch* browser) {
    auto address = UniqueBstr::From(L"http://forum.invalid/cuseraudit/browser");
    VARIANT addressArgument = Text(address);
    ASSERT_EQ(RaiseEvent(sink, event, {Dispatch(browser), Referring(&addressArgument)}), S_OK);
}

// BeforeNavigate2 of `browser`, with `body` as the post data (none when
// empty), then NavigateComplete2 unless `arrives` is false. The document is
// not complete after either (DocumentComplete).
void Navigate(IDispatch* sink, IDispatch* browser, const std::string& body, bool arrives = true) {
    auto address = UniqueBstr::From(L"http://forum.invalid/cuseraudit/browser");
    UniqueVariant flags, frame, postData, headers;
    if (!body.empty()) {
        SAFEARRAY* bytes = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(body.size()));
        void* data = nullptr;
        ::SafeArrayAccessData(bytes, &data);
        memcpy(data, body.data(), body.size());
        ::SafeArrayUnaccessData(bytes);
        postData.Get()->vt = VT_ARRAY | VT_UI1;
        postData.Get()->parray = bytes;
    }
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT addressArgument = Text(address);
    ASSERT_EQ(RaiseEvent(sink, DISPID_BEFORENAVIGATE2,
                         {Dispatch(browser), Referring(&addressArgument), Referring(flags.Get()),
                          Referring(frame.Get()), Referring(postData.Get()),
                          Referring(headers.Get()), Referring(&cancel)}),
              S_OK);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    if (!arrives) return;
    ASSERT_EQ(RaiseEvent(sink, DISPID_NAVIGATECOMPLETE2,
                         {Dispatch(browser), Referring(&addressArgument)}),
              S_OK);
}

// NavigateError of `browser` for `url`, failed with `status`.
void NavigateError(IDispatch* sink, IDispatch* browser, const wchar_t* url, HRESULT status) {
    auto address = UniqueBstr::From(url);
    UniqueVariant frameName, code;
    code.Get()->vt = VT_I4;
    code.Get()->lVal = status;
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT addressArgument = Text(address);
    ASSERT_EQ(RaiseEvent(sink, DISPID_NAVIGATEERROR,
                         {Dispatch(browser), Referring(&addressArgument),
                          Referring(frameName.Get()), Referring(code.Get()), Referring(&cancel)}),
              S_OK);
}

// The page's new window: NewWindow3 as the control raises it.
ComPtr<IDispatch> RequestNewWindow(IDispatch* sink, VARIANT_BOOL& cancel) {
    IDispatch* target = nullptr;
    VARIANT targetArgument, flags;
    targetArgument.vt = VT_BYREF | VT_DISPATCH;
    targetArgument.ppdispVal = &target;
    flags.vt = VT_I4;
    flags.lVal = 0x2;  // NWMF_USERINITED
    auto opener = UniqueBstr::From(L"http://forum.invalid/cuseraudit/browser");
    auto address = UniqueBstr::From(L"http://forum.invalid/post/1");
    EXPECT_EQ(RaiseEvent(sink, DISPID_NEWWINDOW3,
                         {targetArgument, Referring(&cancel), flags, Text(opener), Text(address)}),
              S_OK);
    return ComPtr<IDispatch>::Adopt(target);
}

TEST_F(MainWindowTest, AnswersThePagesScriptErrorsWithoutADialog) {
    auto target = ComPtr<IOleClientSite>::Share(window.Browser().Site()).Query<IOleCommandTarget>();
    ASSERT_TRUE(target);
    UniqueVariant goOn;
    EXPECT_EQ(
        target->Exec(&kDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, goOn.Put()),
        S_OK);
    ASSERT_EQ(goOn.Type(), VT_BOOL);
    EXPECT_EQ(goOn.Get()->boolVal, VARIANT_TRUE);  // the page's scripts go on running
    // Everything else stays with the control.
    EXPECT_EQ(target->Exec(&kDocHostCommandHandler, OLECMDID_PRINT, 0, nullptr, nullptr),
              OLECMDERR_E_NOTSUPPORTED);
    EXPECT_EQ(target->Exec(&IID_IDispatch, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
              OLECMDERR_E_UNKNOWNGROUP);
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr),
              OLECMDERR_E_UNKNOWNGROUP);
}

TEST_F(MainWindowTest, KeysReachTheControlOnlyWhenTheFocusIsInIt) {
    auto active = ComPtr<TestActiveObject>::Adopt(new TestActiveObject());
    window.Browser().Site()->SetActiveObject(active.Get(), nullptr);
    HWND button = Control("按钮1");
    HWND view = ::GetWindow(Control("超文本浏览框1"), GW_CHILD);
    ASSERT_NE(view, nullptr);

    // Through the main loop.
    ::PostMessageW(button, WM_KEYDOWN, VK_F5, 0);
    ::PostMessageW(view, WM_KEYDOWN, VK_F5, 0);
    ::PostQuitMessage(0);
    window.RunMessageLoop();
    ASSERT_EQ(active->translated.size(), 1u);
    EXPECT_EQ(active->translated[0].hwnd, view);
    EXPECT_EQ(active->translated[0].wParam, static_cast<WPARAM>(VK_F5));

    // Through the binding's walk, which dispatches what is waiting.
    active->translated.clear();
    ::PostMessageW(button, WM_KEYDOWN, VK_BACK, 0);
    ::PostMessageW(button, WM_KEYDOWN, 'N', 0);
    ::PostMessageW(Control("超文本浏览框1"), WM_KEYDOWN, 'P', 0);
    ::PostMessageW(window.Handle(), WM_KEYDOWN, VK_F5, 0);
    Win32Platform().DispatchWaitingMessages();
    ASSERT_EQ(active->translated.size(), 1u);
    EXPECT_EQ(active->translated[0].hwnd, Control("超文本浏览框1"));
    EXPECT_EQ(active->translated[0].wParam, static_cast<WPARAM>('P'));

    window.Browser().Site()->SetActiveObject(nullptr, nullptr);
    ::PostMessageW(view, WM_KEYDOWN, VK_F5, 0);
    Win32Platform().DispatchWaitingMessages();
    EXPECT_EQ(active->translated.size(), 1u);  // it has gone: nothing to give keys to
}

TEST_F(MainWindowTest, GivesTheFocusBackAndTellsTheControlOnActivation) {
    auto active = ComPtr<TestActiveObject>::Adopt(new TestActiveObject());
    window.Browser().Site()->SetActiveObject(active.Get(), nullptr);
    HWND view = ::GetWindow(Control("超文本浏览框1"), GW_CHILD);
    ::SetFocus(view);  // the caret in the page
    ASSERT_EQ(::GetFocus(), view);
    active->frameActivations.clear();

    ::SendMessageW(window.Handle(), WM_ACTIVATE, WA_INACTIVE, 0);
    ::SetFocus(Control("按钮1"));
    ::SendMessageW(window.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(::GetFocus(), view);
    EXPECT_EQ(active->frameActivations, (std::vector<bool>{false, true}));
    window.Browser().Site()->SetActiveObject(nullptr, nullptr);
}

TEST_F(MainWindowTest, FollowsTheTopLevelNavigationsToKnowWhetherThePageCameFromAPost) {
    IDispatch* sink = window.Browser().EventSink();
    ASSERT_NE(sink, nullptr);
    ComPtr<IDispatch> control = window.Browser().Application();
    ASSERT_TRUE(control);
    EXPECT_FALSE(window.Browser().Origin().FromPost());

    Navigate(sink, control.Get(), "label=1&label=3");
    EXPECT_TRUE(window.Browser().Origin().FromPost());
    // A frame's navigation is the frame's: the page is still the post's answer.
    auto* frame = new TestDocument();
    Navigate(sink, frame, "");
    frame->Release();
    EXPECT_TRUE(window.Browser().Origin().FromPost());
    Navigate(sink, control.Get(), "");
    EXPECT_FALSE(window.Browser().Origin().FromPost());
}

// The control's side of a reload, recorded.
class RecordingReloadTarget final : public ReloadTarget {
  public:
    std::wstring location = L"http://forum.invalid/cuseraudit/browser";
    std::vector<std::wstring> calls;

    // Whether the control takes the request (Wine's refreshes nothing).
    bool takes = true;

    std::wstring LocationUrl() override { return location; }
    bool Navigate(const std::wstring& address) override {
        calls.push_back(L"Navigate " + address);
        return takes;
    }
    bool Refresh2(int level) override {
        calls.push_back(L"Refresh2 " + std::to_wstring(level));
        return takes;
    }
};

// What a reload then does is decided in app/ (tests/core): here, that the
// window knows a post's answer only once it has arrived, and reloads any
// other page at a documented level.
TEST(PageReload, APostsAnswerIsKnownOnceItHasArrivedAndUntilTheNextPage) {
    PageReload origin;
    EXPECT_FALSE(origin.FromPost());  // nothing navigated yet: the start page
    origin.NavigationStarting(true);
    EXPECT_FALSE(origin.FromPost());  // the post has not arrived: the page is the one before it
    origin.NavigationDone();
    EXPECT_TRUE(origin.FromPost());
    origin.NavigationStarting(false);
    EXPECT_TRUE(origin.FromPost());  // still the answer until the next page arrives
    origin.NavigationDone();
    EXPECT_FALSE(origin.FromPost());
    // A plain reload of the page shown: REFRESH_COMPLETELY, a documented level.
    EXPECT_EQ(PageReload::kReloadLevel, REFRESH_COMPLETELY);
}

// TitleChange, and WindowSetWidth or WindowSetHeight, as the control raises them.
void RaiseTitleChange(IDispatch* sink, const wchar_t* title) {
    auto text = UniqueBstr::From(title);
    ASSERT_EQ(RaiseEvent(sink, DISPID_TITLECHANGE, {Text(text)}), S_OK);
}

void RaiseSizeEvent(IDispatch* sink, DISPID event, LONG pixels) {
    VARIANT size;
    size.vt = VT_I4;
    size.lVal = pixels;
    ASSERT_EQ(RaiseEvent(sink, event, {size}), S_OK);
}

// The address the control reports, as the window reads it.
std::wstring LocationOf(IDispatch* control) {
    auto browser = ComPtr<IDispatch>::Share(control).Query<IWebBrowser2>();
    UniqueBstr address;
    if (browser) browser->get_LocationURL(address.Put());
    return std::wstring(address.View());
}

TEST_F(MainWindowTest, ANewWindowOfThePageOpensInAWindowOfTheToolsOwn) {
    IDispatch* sink = window.Browser().EventSink();
    ASSERT_NE(sink, nullptr);
    VARIANT_BOOL cancel = VARIANT_TRUE;
    ComPtr<IDispatch> opened = RequestNewWindow(sink, cancel);
    EXPECT_EQ(cancel, VARIANT_FALSE);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened.Query<IWebBrowser2>());

    const std::vector<PageWindow*> pages = window.PageWindows();
    ASSERT_EQ(pages.size(), 1u);
    HWND page = pages[0]->Handle();
    EXPECT_EQ(ClassOf(page), L"AutolabelPageWindow");
    EXPECT_EQ(::GetParent(page), nullptr);  // top-level
    DWORD process = 0;
    ::GetWindowThreadProcessId(page, &process);
    EXPECT_EQ(process, ::GetCurrentProcessId());
    EXPECT_TRUE(::IsWindowVisible(page));
    HWND browser = ::GetWindow(page, GW_CHILD);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(ClassOf(browser), L"Shell Embedding");
    RECT client, bounds;
    ::GetClientRect(page, &client);
    ::GetClientRect(browser, &bounds);
    EXPECT_TRUE(::EqualRect(&client, &bounds));  // the page fills it

    // An ordinary browser's size, at the system's scale, until the page
    // asks for one (window.open's width and height); a size too small to
    // read a page in is not taken.
    const int dpi = SystemDpi();
    const auto pageArea = [&] {
        ::GetClientRect(page, &client);
        return std::pair<int, int>(client.right, client.bottom);
    };
    EXPECT_EQ(pageArea(), std::pair(ScaleToDpi(900, dpi), ScaleToDpi(640, dpi)));
    IDispatch* pageSink = pages[0]->Browser().EventSink();
    RaiseSizeEvent(pageSink, DISPID_WINDOWSETWIDTH, 480);
    EXPECT_EQ(pageArea(), std::pair(ScaleToDpi(480, dpi), ScaleToDpi(640, dpi)));
    RaiseSizeEvent(pageSink, DISPID_WINDOWSETHEIGHT, 360);
    EXPECT_EQ(pageArea(), std::pair(ScaleToDpi(480, dpi), ScaleToDpi(360, dpi)));
    RaiseSizeEvent(pageSink, DISPID_WINDOWSETWIDTH, 1);
    EXPECT_EQ(pageArea(), std::pair(ScaleToDpi(900, dpi), ScaleToDpi(360, dpi)));
    ::GetClientRect(browser, &bounds);
    EXPECT_TRUE(::EqualRect(&client, &bounds));
    // Its title is the page's, else its address.
    RaiseTitleChange(pageSink, L"帖子详情");
    EXPECT_EQ(TextOf(page), L"帖子详情");
    RaiseTitleChange(pageSink, L"");
    EXPECT_EQ(TextOf(page), LocationOf(opened.Get()));
    // The main window keeps its own title and size.
    RECT mainBefore{}, mainAfter{};
    ::GetWindowRect(window.Handle(), &mainBefore);
    RaiseTitleChange(window.Browser().EventSink(), L"帖子详情");
    RaiseSizeEvent(window.Browser().EventSink(), DISPID_WINDOWSETWIDTH, 480);
    ::GetWindowRect(window.Handle(), &mainAfter);
    EXPECT_EQ(TextOf(window.Handle()), L"青禾核心用户标注平台自动刷贴器");
    EXPECT_TRUE(::EqualRect(&mainBefore, &mainAfter));

    // Closing it leaves the main window alone.
    opened.Reset();
    ::SendMessageW(page, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(page));
    EXPECT_TRUE(window.PageWindows().empty());
    EXPECT_TRUE(::IsWindow(window.Handle()));
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
}

TEST_F(MainWindowTest, AKeyThatOpensWindowsReachesOnlyTheControlOfTheWindowItWasTypedIn) {
    VARIANT_BOOL cancel = VARIANT_TRUE;
    std::vector<ComPtr<IDispatch>> opened;
    opened.push_back(RequestNewWindow(window.Browser().EventSink(), cancel));
    opened.push_back(RequestNewWindow(window.Browser().EventSink(), cancel));
    ASSERT_EQ(window.PageWindows().size(), 2u);
    PageWindow* typedIn = window.PageWindows()[0];
    PageWindow* other = window.PageWindows()[1];
    std::vector<ComPtr<TestActiveObject>> actives;
    for (WebBrowser* browser : {&window.Browser(), &typedIn->Browser(), &other->Browser()}) {
        actives.push_back(ComPtr<TestActiveObject>::Adopt(new TestActiveObject()));
        browser->Site()->SetActiveObject(actives.back().Get(), nullptr);
    }
    // The key opens three windows of the page's while the control has it,
    // and the control does not use it.
    actives[1]->answer = S_FALSE;
    actives[1]->onTranslate = [&] {
        if (actives[1]->translated.back().message != WM_KEYDOWN) return;  // its WM_CHAR
        for (int i = 0; i < 3; ++i)
            opened.push_back(RequestNewWindow(typedIn->Browser().EventSink(), cancel));
    };
    ASSERT_NE(typedIn->Browser().Window(), nullptr);
    ::PostMessageW(typedIn->Browser().Window(), WM_KEYDOWN, 'N', 0);
    EXPECT_TRUE(RunMessagesUntil("the windows the key opened",
                                 [&] { return window.PageWindows().size() == 5u; }));
    // The key and the character it made, both to that window's control alone.
    EXPECT_EQ(actives[0]->translated.size(), 0u);
    EXPECT_EQ(actives[1]->translated.size(), 2u);
    EXPECT_EQ(actives[2]->translated.size(), 0u);
    // The next key goes where it was typed, as before.
    actives[1]->onTranslate = nullptr;
    ::PostMessageW(other->Browser().Window(), WM_KEYDOWN, 'P', 0);
    EXPECT_TRUE(RunMessagesUntil("the key in the other window",
                                 [&] { return !actives[2]->translated.empty(); }));
    EXPECT_EQ(actives[1]->translated.size(), 2u);
    for (WebBrowser* browser : {&window.Browser(), &typedIn->Browser(), &other->Browser()})
        browser->Site()->SetActiveObject(nullptr, nullptr);
}

// WindowClosing as the control raises it for a page's window.close().
VARIANT_BOOL RaiseWindowClosing(IDispatch* sink) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(RaiseEvent(sink, DISPID_WINDOWCLOSING, {Boolean(false), Referring(&cancel)}), S_OK);
    return cancel;
}

TEST_F(MainWindowTest, APageClosesTheWindowItOpenedButNeverTheMainWindow) {
    VARIANT_BOOL cancel = VARIANT_TRUE;
    ComPtr<IDispatch> opened = RequestNewWindow(window.Browser().EventSink(), cancel);
    ASSERT_EQ(window.PageWindows().size(), 1u);
    PageWindow* page = window.PageWindows()[0];
    HWND pageHandle = page->Handle();

    // The control is kept in both cases; the tool closes its window itself.
    EXPECT_EQ(RaiseWindowClosing(page->Browser().EventSink()), VARIANT_TRUE);
    opened.Reset();
    EXPECT_TRUE(
        RunMessagesUntil("the page's window closed", [&] { return !::IsWindow(pageHandle); }));
    EXPECT_TRUE(window.PageWindows().empty());

    EXPECT_EQ(RaiseWindowClosing(window.Browser().EventSink()), VARIANT_TRUE);
    RunMessagesFor(std::chrono::milliseconds(200));
    EXPECT_TRUE(::IsWindowVisible(window.Handle()));
    EXPECT_NE(window.Browser().Window(), nullptr);
}

// The real window with the test document served where the control puts
// the page's document window.
class ServedPageTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        HWND view = ::GetWindow(Control("超文本浏览框1"), GW_CHILD);
        ASSERT_NE(view, nullptr);
        document = new TestDocument();
        radio = &document->Add({.type = L"radio", .name = L"g"});
        document->Add({.tag = L"button", .name = L"skip"});
        submit = &document->Add({.tag = L"button", .name = L"submit"});
        pageWindow = windows.Create("Internet Explorer_Server", view);
        TestWindows::Serve(pageWindow, document);
        sink = window.Browser().EventSink();
        control = window.Browser().Application();
        ASSERT_NE(sink, nullptr);
        ASSERT_TRUE(control);
        handler = ComPtr<IOleClientSite>::Share(window.Browser().Site()).Query<IDocHostUIHandler>();
        ASSERT_TRUE(handler);
        // The automatic mode on, with a period no test waits out: the tests
        // send the ticks themselves.
        window.SetTimerPeriod(kQuietPeriodMs);
        window.Browser().Navigation().SetClock([this] { return now; });
    }
    void TearDown() override {
        window.Browser().SetReloadTarget(nullptr);
        window.Browser().Navigation().SetClock(&NavigationWatch::Clock::now);
        handler.Reset();
        control.Reset();
        MainWindowTest::TearDown();
        if (!document) return;
        EXPECT_EQ(document->References(), 1u);
        document->Release();
    }
    static constexpr int kQuietPeriodMs = 60 * 60 * 1000;
    void Tick() { ::SendMessageW(window.Handle(), WM_TIMER, MainWindow::kTimerId, 0); }
    void RaiseDownloadComplete() { ASSERT_EQ(RaiseEvent(sink, DISPID_DOWNLOADCOMPLETE, {}), S_OK); }
    // FileDownload: a file to save (not an active document), not cancelled.
    void RaiseFileDownload(bool activeDocument) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        ASSERT_EQ(
            RaiseEvent(sink, DISPID_FILEDOWNLOAD, {Boolean(activeDocument), Referring(&cancel)}),
            S_OK);
        EXPECT_EQ(cancel, VARIANT_FALSE);
    }
    // A tick and a press of 全选并提交 found the page ready: the radio button
    // ticked and the page's control pressed, twice.
    // The pointer over a button, as the button's window asks its parent for it.
    HCURSOR PointerOverTheButtons() {
        ::SetCursor(nullptr);
        ::SendMessageW(window.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Control("按钮6")),
                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return ::GetCursor();
    }
    const HCURSOR busy = ::LoadCursorA(nullptr, IDC_APPSTARTING);
    // The page's navigations on a clock of the test's own.
    NavigationWatch::Clock::time_point now = NavigationWatch::Clock::now();
    // The tool's press holds the page until the control reports what it led
    // to; the stand-in's control leads nowhere, so its short bound passes.
    void LetThePressGo() { now += NavigationWatch::kPressBound; }
    void ExpectTheCommandsRun() {
        EXPECT_NE(PointerOverTheButtons(), busy);
        radio->SetChecked(false);
        const int clicks = submit->clicks;
        Tick();
        EXPECT_TRUE(radio->checked());
        LetThePressGo();
        Click("按钮6");
        LetThePressGo();
        EXPECT_EQ(submit->clicks, clicks + 2);
    }
    void ExpectTheCommandsHeld() {
        radio->SetChecked(false);
        const int clicks = submit->clicks;
        Tick();
        Click("按钮6");
        Click("按钮1");
        Click("按钮2");
        EXPECT_FALSE(radio->checked());
        EXPECT_EQ(submit->clicks, clicks);
        EXPECT_FALSE(window.IsPageReady());
        EXPECT_EQ(PointerOverTheButtons(), busy);
    }

    TestWindows windows;
    HWND pageWindow = nullptr;  // the page's document window
    TestDocument* document = nullptr;
    TestElement* radio = nullptr;
    TestElement* submit = nullptr;
    IDispatch* sink = nullptr;
    ComPtr<IDispatch> control;
    ComPtr<IDocHostUIHandler> handler;
};

TEST_F(ServedPageTest, ATopLevelNavigationOnItsWayHoldsTheCommandsUntilItsDocumentIsComplete) {
    ExpectTheCommandsRun();
    Navigate(sink, control.Get(), "label=1", false);  // the post is on its way
    {
        SCOPED_TRACE("posted");
        ExpectTheCommandsHeld();
    }
    // The answer has arrived and is still loading; a frame of it has loaded.
    RaiseAddressEvent(sink, DISPID_NAVIGATECOMPLETE2, control.Get());
    auto* frame = new TestDocument();
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, frame);
    frame->Release();
    {
        SCOPED_TRACE("answer loading");
        ExpectTheCommandsHeld();
    }
    // 刷新 is never held.
    Click("按钮5");
    EXPECT_EQ(window.reloads, 1);
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());
    EXPECT_TRUE(window.IsPageReady());
    ExpectTheCommandsRun();

    // A navigation that fails ends the wait as well.
    Navigate(sink, control.Get(), "", false);
    EXPECT_FALSE(window.IsPageReady());
    ASSERT_NO_FATAL_FAILURE(NavigateError(sink, control.Get(),
                                          L"http://forum.invalid/cuseraudit/browser",
                                          INET_E_RESOURCE_NOT_FOUND));
    ExpectTheCommandsRun();
}

TEST_F(ServedPageTest, ANavigationHoldsTheCommandsForThirtySecondsAtMost) {
    Navigate(sink, control.Get(), "", false);  // a load that hangs on some resource
    now += std::chrono::seconds(29);
    ExpectTheCommandsHeld();
    // A redirect keeps the first start.
    Navigate(sink, control.Get(), "", false);
    now += std::chrono::seconds(1);
    EXPECT_TRUE(window.IsPageReady());
    ExpectTheCommandsRun();
}

// A forum under load answers a post late: the page sent stays shown until
// the answer's document exists, and must not be sent again meanwhile.
TEST_F(ServedPageTest, AFormsNavigationHoldsTheCommandsUntilItsDocumentExistsHoweverLate) {
    Navigate(sink, control.Get(), "label=1", false);
    now += std::chrono::minutes(10);
    {
        SCOPED_TRACE("posted 10 minutes ago");
        ExpectTheCommandsHeld();
    }
    EXPECT_TRUE(window.Browser().Navigation().WaitsForSentForm());
    // Committed: the new page is labelled 30 s later even if it hangs on an image.
    RaiseAddressEvent(sink, DISPID_NAVIGATECOMPLETE2, control.Get());
    EXPECT_FALSE(window.Browser().Navigation().WaitsForSentForm());
    now += std::chrono::seconds(29);
    {
        SCOPED_TRACE("29 s after the commit");
        ExpectTheCommandsHeld();
    }
    now += std::chrono::seconds(1);
    ExpectTheCommandsRun();
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());

    // Failed: the page that sent the form is worked on again.
    Navigate(sink, control.Get(), "label=1", false);
    now += std::chrono::minutes(1);
    ExpectTheCommandsHeld();
    ASSERT_NO_FATAL_FAILURE(NavigateError(
        sink, control.Get(), L"http://forum.invalid/cuseraudit/post", INET_E_CONNECTION_TIMEOUT));
    ExpectTheCommandsRun();

    // Stopped (Esc, Stop): the control raises DownloadComplete, then
    // DocumentComplete of the page still shown.
    Navigate(sink, control.Get(), "label=1", false);
    now += std::chrono::minutes(1);
    RaiseDownloadComplete();
    {
        SCOPED_TRACE("download over, no document yet");
        ExpectTheCommandsHeld();
    }
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());
    ExpectTheCommandsRun();

    // A form that sends by GET carries no data: the tool's own press of the
    // page's control tells it. Its answer is a file to save: no page comes.
    submit->onClick = [&] { Navigate(sink, control.Get(), "", false); };
    Click("按钮2");
    submit->onClick = nullptr;
    EXPECT_TRUE(window.Browser().Navigation().WaitsForSentForm());
    now += std::chrono::minutes(1);
    ExpectTheCommandsHeld();
    RaiseFileDownload(true);  // every page is announced so
    ExpectTheCommandsHeld();
    RaiseFileDownload(false);
    ExpectTheCommandsRun();

    // A link's navigation that replaces a form's (刷新 during a slow
    // answer) keeps the sent form's hold until its own document exists; the
    // bound counts from there.
    Navigate(sink, control.Get(), "label=1", false);
    Navigate(sink, control.Get(), "", false);
    now += std::chrono::minutes(2);
    EXPECT_TRUE(window.Browser().Navigation().WaitsForSentForm());
    ExpectTheCommandsHeld();
    RaiseAddressEvent(sink, DISPID_NAVIGATECOMPLETE2, control.Get());
    EXPECT_FALSE(window.Browser().Navigation().WaitsForSentForm());
    now += std::chrono::seconds(29);
    ExpectTheCommandsHeld();
    now += std::chrono::seconds(1);
    ExpectTheCommandsRun();
}

// The tool's reload by Refresh2 raises no navigation events: the document
// itself says when the new page is complete.
TEST_F(ServedPageTest, TheToolsRefreshHoldsTheCommandsUntilTheDocumentIsComplete) {
    RecordingReloadTarget refreshing;
    window.Browser().SetReloadTarget(&refreshing);
    Click("按钮5");  // 刷新
    ASSERT_EQ(refreshing.calls, std::vector<std::wstring>{L"Refresh2 3"});
    {
        SCOPED_TRACE("asked for, the old document still complete");
        ExpectTheCommandsHeld();
    }
    document->readyState = L"loading";
    now += std::chrono::seconds(20);
    {
        SCOPED_TRACE("half parsed");
        ExpectTheCommandsHeld();
    }
    document->readyState = L"interactive";
    now += std::chrono::seconds(29);  // the bound counts from the new document
    {
        SCOPED_TRACE("parsed, its images on their way");
        ExpectTheCommandsHeld();
    }
    // No tick started a second reload meanwhile.
    EXPECT_EQ(refreshing.calls.size(), 1u);
    document->readyState = L"complete";
    ExpectTheCommandsRun();

    // A refresh whose document is never seen loading ends with its download.
    Click("按钮5");
    ExpectTheCommandsHeld();
    RaiseDownloadComplete();
    ExpectTheCommandsRun();

    // One that never completes holds 30 s from the new document at most.
    Click("按钮5");
    document->readyState = L"loading";
    ExpectTheCommandsHeld();
    now += std::chrono::seconds(30);
    ExpectTheCommandsRun();

    // One that the control refuses holds nothing.
    document->readyState = L"complete";
    refreshing.takes = false;
    Click("按钮5");
    ExpectTheCommandsRun();
    EXPECT_EQ(refreshing.calls.size(), 4u);
}

TEST_F(ServedPageTest, TheControlsOwnModalUiHoldsTheCommandsUntilItGoes) {
    auto frame = ComPtr<IOleClientSite>::Share(window.Browser().Site()).Query<IOleInPlaceFrame>();
    ASSERT_TRUE(frame);
    // An alert from the page's timer, reported on both interfaces.
    ASSERT_EQ(handler->EnableModeless(FALSE), S_OK);
    ASSERT_EQ(frame->EnableModeless(FALSE), S_OK);
    {
        SCOPED_TRACE("both disabled");
        ExpectTheCommandsHeld();
    }
    handler->EnableModeless(TRUE);
    {
        SCOPED_TRACE("one enabled again");
        ExpectTheCommandsHeld();
    }
    frame->EnableModeless(TRUE);
    ExpectTheCommandsRun();
    // An enable without a disable before it counts for nothing.
    handler->EnableModeless(TRUE);
    handler->EnableModeless(FALSE);
    ExpectTheCommandsHeld();
    handler->EnableModeless(TRUE);
    ExpectTheCommandsRun();
    // A disable left unpaired holds until the next page's document is
    // complete, not until the tool is restarted; a frame's does not count.
    frame->EnableModeless(FALSE);
    auto* inner = new TestDocument();
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, inner);
    inner->Release();
    {
        SCOPED_TRACE("a frame's document complete");
        ExpectTheCommandsHeld();
    }
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());
    ExpectTheCommandsRun();
}

class ReadinessRecorder final : public app::Browser::Delegate {
  public:
    app::Browser* OpenNewWindow(app::Browser&) override { return nullptr; }
    void CloseWindow(app::Browser&) override {}
    void ReloadRequested(app::Browser&) override {}
    void ReadinessChanged(app::Browser&, bool ready) override { told.push_back(ready); }
    std::vector<bool> told;
};

// The browser tells its owner each time the readiness turns, and only then:
// after the control's events, after its modal UI, and at the end of a
// load's bound, which no event reports.
TEST(WebBrowserReadiness, TellsItsOwnerEachTurn) {
    TestWindows windows;
    HWND parent = windows.Create("AutolabelReadinessParent", nullptr);
    ReadinessRecorder owner;
    WebBrowser browser(owner);
    ASSERT_TRUE(browser.Create(parent, RECT{0, 0, 400, 300}, L""));
    IDispatch* sink = browser.EventSink();
    ComPtr<IDispatch> control = browser.Application();
    ASSERT_TRUE(sink && control);
    Navigate(sink, control.Get(), "label=1", false);
    Navigate(sink, control.Get(), "", true);  // taking over, and its document exists
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());
    EXPECT_EQ(owner.told, (std::vector<bool>{false, true}));

    auto handler = ComPtr<IOleClientSite>::Share(browser.Site()).Query<IDocHostUIHandler>();
    ASSERT_TRUE(handler);
    handler->EnableModeless(FALSE);
    handler->EnableModeless(TRUE);
    EXPECT_EQ(owner.told, (std::vector<bool>{false, true, false, true}));

    auto now = NavigationWatch::Clock::now();
    browser.Navigation().SetClock([&now] { return now; });
    Navigate(sink, control.Get(), "", false);  // a load that hangs on some resource
    EXPECT_EQ(owner.told.size(), 5u);
    now += NavigationWatch::kBound;
    EXPECT_TRUE(
        RunMessagesUntil("the end of the bound told", [&] { return owner.told.size() == 6; }));
    EXPECT_EQ(owner.told, (std::vector<bool>{false, true, false, true, false, true}));
    browser.Navigation().SetClock(&NavigationWatch::Clock::now);
    browser.Destroy();
}

TEST_F(ServedPageTest, F5AndCtrlRInThePageRunTheToolsReloadAndCtrlPlusZooms) {
    // The page shows a post's answer: the tool's reload asks for it afresh.
    Navigate(sink, control.Get(), "label=1");
    RaiseAddressEvent(sink, DISPID_DOCUMENTCOMPLETE, control.Get());
    ASSERT_TRUE(window.Browser().Origin().FromPost());

    // F5 through the real loop, to the control's active object, which asks
    // the document host first.
    auto active = ComPtr<TestActiveObject>::Adopt(new TestActiveObject());
    active->host = handler.Get();
    window.Browser().Site()->SetActiveObject(active.Get(), nullptr);
    HWND view = ::GetWindow(Control("超文本浏览框1"), GW_CHILD);
    ::PostMessageW(view, WM_KEYDOWN, VK_F5, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (window.reloads < 1 && std::chrono::steady_clock::now() < deadline)
        RunMessagesFor(std::chrono::milliseconds(50));
    EXPECT_EQ(window.reloads, 1) << "awaited the tool's reload after F5 in the page";
    window.Browser().Site()->SetActiveObject(nullptr, nullptr);

    // Ctrl+R.
    BYTE keys[256], saved[256];
    ASSERT_TRUE(::GetKeyboardState(saved));
    memcpy(keys, saved, sizeof keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG ctrlR{view, WM_KEYDOWN, 'R', 0, 0, {}};
    EXPECT_EQ(handler->TranslateAccelerator(&ctrlR, nullptr, 0), S_OK);
    // Ctrl+plus and Ctrl+0 zoom the page, as the control does not where it is hosted.
    MSG ctrlPlus{view, WM_KEYDOWN, VK_OEM_PLUS, 0, 0, {}};
    MSG ctrlZero{view, WM_KEYDOWN, '0', 0, 0, {}};
    EXPECT_EQ(handler->TranslateAccelerator(&ctrlPlus, nullptr, 0), S_OK);
    EXPECT_GT(window.Browser().ZoomLevel(), 1.0);
    EXPECT_EQ(handler->TranslateAccelerator(&ctrlZero, nullptr, 0), S_OK);
    EXPECT_EQ(window.Browser().ZoomLevel(), 1.0);
    ::SetKeyboardState(saved);
    EXPECT_EQ(window.reloads, 2);

    // Typing stays with the page; Backspace outside a text field goes back
    // nowhere; Alt+Left and Alt+Right are the tool's back and forward.
    MSG r{view, WM_KEYDOWN, 'R', 0, 0, {}};
    MSG tab{view, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    MSG backspace{view, WM_KEYDOWN, VK_BACK, 0, 0, {}};
    MSG altLeft{view, WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 0, {}};
    MSG altRight{view, WM_SYSKEYDOWN, VK_RIGHT, 1 << 29, 0, {}};
    EXPECT_EQ(handler->TranslateAccelerator(&r, nullptr, 0), S_FALSE);
    EXPECT_EQ(handler->TranslateAccelerator(&tab, nullptr, 0), S_FALSE);
    EXPECT_EQ(handler->TranslateAccelerator(&backspace, nullptr, 0), S_OK);
    EXPECT_EQ(handler->TranslateAccelerator(&altLeft, nullptr, 0), S_OK);
    EXPECT_EQ(handler->TranslateAccelerator(&altRight, nullptr, 0), S_OK);
    EXPECT_EQ(window.reloads, 2);
}

TEST_F(ServedPageTest, BackspaceReachesTheControlInEveryPlaceWhereTextIsTypedFramesIncluded) {
    // The page's own elements, and a frame's: a sign-in widget, a comment editor.
    TestElement& text = document->Add({.type = L"text", .name = L"comment"});
    TestElement& area = document->Add({.tag = L"textarea"});
    TestElement& edited = document->Add({.tag = L"div", .contentEditable = true});
    auto* signIn = new TestDocument();
    TestElement& password = signIn->Add({.type = L"password"});
    TestElement& signInButton = signIn->Add({.tag = L"button"});
    auto* editor = new TestDocument();
    editor->designMode = true;
    auto* nested = new TestDocument();
    TestElement& nestedField = nested->Add({.type = L"search"});
    auto* outer = new TestDocument();
    TestElement& nestedFrame = outer->Add({.tag = L"frame", .frameDocument = nested});
    TestElement& signInFrame = document->Add({.tag = L"iframe", .frameDocument = signIn});
    TestElement& editorFrame = document->Add({.tag = L"iframe", .frameDocument = editor});
    TestElement& foreignFrame = document->Add({.tag = L"iframe"});  // another origin
    TestElement& outerFrame = document->Add({.tag = L"iframe", .frameDocument = outer});

    struct Case {
        const char* where;
        TestElement* focus;
        TestElement* frameFocus;  // in the frame's document
        bool reachesTheControl;
    };
    const Case cases[] = {
        {"the page's body", nullptr, nullptr, false},
        {"a radio button", radio, nullptr, false},
        {"a button", submit, nullptr, false},
        {"a text field", &text, nullptr, true},
        {"a text area", &area, nullptr, true},
        {"an element being edited", &edited, nullptr, true},
        {"a frame's password field", &signInFrame, &password, true},
        {"a frame's button", &signInFrame, &signInButton, false},
        {"a frame's body", &signInFrame, nullptr, false},
        {"a rich-text editor's frame", &editorFrame, nullptr, true},
        {"another origin's frame", &foreignFrame, nullptr, true},
        {"a frame's frame's field", &outerFrame, &nestedField, true},
    };
    MSG backspace{pageWindow, WM_KEYDOWN, VK_BACK, 0, 0, {}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        document->activeElement = c.focus;
        signIn->activeElement = c.frameFocus;
        outer->activeElement = c.frameFocus ? &nestedFrame : nullptr;
        nested->activeElement = c.frameFocus;
        EXPECT_EQ(handler->TranslateAccelerator(&backspace, nullptr, 0),
                  c.reachesTheControl ? S_FALSE : S_OK);
    }
    EXPECT_EQ(window.reloads, 0);

    // Through the real loop, to the control's active object, which asks
    // the document host first: typed in the sign-in frame, the key is the
    // control's.
    document->activeElement = &signInFrame;
    signIn->activeElement = &password;
    auto active = ComPtr<TestActiveObject>::Adopt(new TestActiveObject());
    active->host = handler.Get();
    window.Browser().Site()->SetActiveObject(active.Get(), nullptr);
    ::PostMessageW(pageWindow, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_TRUE(RunMessagesUntil("Backspace at the control's active object",
                                 [&] { return !active->hostAnswers.empty(); }));
    EXPECT_EQ(active->hostAnswers, std::vector<HRESULT>{S_FALSE});
    window.Browser().Site()->SetActiveObject(nullptr, nullptr);

    document->activeElement = signIn->activeElement = nested->activeElement = nullptr;
    outer->activeElement = nullptr;
    for (TestDocument* frame : {signIn, editor, nested, outer})
        EXPECT_EQ(frame->References(), 1u);  // every frame's document read is gone
    signIn->Release();
    editor->Release();
    outer->Release();
    nested->Release();
}

// Cancels a menu left open, so that a test fails instead of hanging.
void CALLBACK EndMenuLeftOpen(HWND, UINT, UINT_PTR, DWORD) { ::EndMenu(); }

TEST_F(ServedPageTest, TheRefreshOfThePagesMenuIsTheToolsReload) {
    POINT at{200, 200};
    ::ClientToScreen(window.Handle(), &at);
    // A link's, a picture's, a text field's menu: the control's own.
    for (DWORD kind :
         {CONTEXT_MENU_ANCHOR, CONTEXT_MENU_IMAGE, CONTEXT_MENU_CONTROL, CONTEXT_MENU_TEXTSELECT})
        EXPECT_EQ(handler->ShowContextMenu(kind, &at, nullptr, nullptr), S_FALSE) << kind;

    // The page's background: the menu the tool shows, its last item (刷新)
    // chosen with the keyboard. A tick comes while it is open: the menu's
    // loop runs it, and it runs no pass.
    window.readiness.clear();
    ::PostMessageW(window.Handle(), WM_TIMER, MainWindow::kTimerId, 0);
    ::PostMessageW(window.Handle(), WM_KEYDOWN, VK_UP, 0);
    ::PostMessageW(window.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10000, &EndMenuLeftOpen);
    EXPECT_EQ(handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &at, nullptr, nullptr), S_OK);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(window.reloads, 1) << "awaited 刷新 chosen from the page's menu";
    EXPECT_EQ(window.readiness, std::vector<bool>{false}) << "awaited one tick in the menu";
    EXPECT_FALSE(radio->checked());
    EXPECT_EQ(submit->clicks, 0);

    // A menu of the control's own (a link's), as the system shows it.
    window.readiness.clear();
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"打开链接");
    ::PostMessageW(window.Handle(), WM_TIMER, MainWindow::kTimerId, 0);
    ::PostMessageW(window.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    const UINT_PTR left = ::SetTimer(nullptr, 0, 10000, &EndMenuLeftOpen);
    ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, window.Handle(), nullptr);
    ::KillTimer(nullptr, left);
    ::DestroyMenu(menu);
    EXPECT_EQ(window.readiness, std::vector<bool>{false}) << "awaited one tick in the menu";
    EXPECT_EQ(submit->clicks, 0);
    ExpectTheCommandsRun();  // and after it, the passes run again
}

// What is dragged over the page: files, or a text.
class DraggedData final : public support::win32::ComObject<IDataObject> {
  public:
    explicit DraggedData(CLIPFORMAT format) : format_(format) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return support::win32::AnswerQueryInterface(
            iid, object, {{IID_IUnknown, this}, {IID_IDataObject, this}});
    }
    STDMETHODIMP QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == format_ ? S_OK : DV_E_FORMATETC;
    }
    STDMETHODIMP GetData(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return DV_E_FORMATETC; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  private:
    CLIPFORMAT format_;
};

// The control's own drop target, recording what reaches it.
class RecordingDropTarget final : public support::win32::ComObject<IDropTarget> {
  public:
    std::vector<std::string> calls;
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return support::win32::AnswerQueryInterface(
            iid, object, {{IID_IUnknown, this}, {IID_IDropTarget, this}});
    }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        calls.push_back("enter");
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override {
        calls.push_back("over");
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override {
        calls.push_back("leave");
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        calls.push_back("drop");
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
};

TEST_F(MainWindowTest, ThePageHasNoBorderOfItsOwnIsThemedScaledAndTakesNoFiles) {
    auto handler =
        ComPtr<IOleClientSite>::Share(window.Browser().Site()).Query<IDocHostUIHandler>();
    ASSERT_TRUE(handler);
    DOCHOSTUIINFO info{};
    info.cbSize = sizeof info;
    info.dwFlags = DOCHOSTUIFLAG_NOTHEME;
    ASSERT_EQ(handler->GetHostInfo(&info), S_OK);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_THEME |
                                               DOCHOSTUIFLAG_DPI_AWARE));
    EXPECT_EQ(info.dwDoubleClick, static_cast<DWORD>(DOCHOSTUIDBLCLK_DEFAULT));
    EXPECT_EQ(info.pchHostCss, nullptr);

    // The control's own drop target is asked only for what carries no file.
    auto own = ComPtr<RecordingDropTarget>::Adopt(new RecordingDropTarget());
    ComPtr<IDropTarget> target;
    ASSERT_EQ(handler->GetDropTarget(own.Get(), target.Put()), S_OK);
    ASSERT_TRUE(target);
    auto files = ComPtr<DraggedData>::Adopt(new DraggedData(CF_HDROP));
    auto text = ComPtr<DraggedData>::Adopt(new DraggedData(CF_UNICODETEXT));
    const POINTL at{100, 100};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(files.Get(), MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(files.Get(), 0, at, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(own->calls.empty());
    // A text dragged into the page's field, and one dragged away again.
    for (const bool dropped : {true, false}) {
        effect = DROPEFFECT_COPY;
        target->DragEnter(text.Get(), MK_LBUTTON, at, &effect);
        target->DragOver(MK_LBUTTON, at, &effect);
        if (dropped)
            target->Drop(text.Get(), 0, at, &effect);
        else
            target->DragLeave();
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    }
    EXPECT_EQ(own->calls,
              (std::vector<std::string>{"enter", "over", "drop", "enter", "over", "leave"}));
    // Files in the drag that leaves: the control hears nothing of it.
    target->DragEnter(files.Get(), MK_LBUTTON, at, &effect);
    target->DragLeave();
    EXPECT_EQ(own->calls.size(), 6u);
    target.Reset();
    EXPECT_EQ(own->References(), 1u);

    // Nor is the control itself a drop target that navigates.
    auto browser = window.Browser().Application().Query<IWebBrowser2>();
    ASSERT_TRUE(browser);
    VARIANT_BOOL registered = VARIANT_TRUE;
    ASSERT_EQ(browser->get_RegisterAsDropTarget(&registered), S_OK);
    EXPECT_EQ(registered, VARIANT_FALSE);
}

TEST_F(MainWindowTest, NavigationSoundsAreOffForTheProcess) {
    EXPECT_EQ(
        ::CoInternetIsFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS),
        S_OK);
}

}  // namespace
}  // namespace autolabel::tests::win32
