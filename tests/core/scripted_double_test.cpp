// The in-memory double must behave like the document model and the window
// system where the page automation object relies on them; otherwise the
// other tests prove nothing.
#include <gtest/gtest.h>

#include "tests/support/page_fixture.h"

namespace autolabel::tests {
namespace {

DomRef Tags(const DomRef& document, const char* tag = "input") {
    DomRef all = document.Read("body").ToObject().Read("all").ToObject();
    return all.Call("tags", {Value::Text(tag)}).ToObject();
}

TEST(ScriptedDom, ReportsTypesAsTheDocumentModelDoes) {
    auto document = Page(
        "<input id=a><input id=b type=RADIO><input id=c type=bogus>"
        "<button id=d></button><button id=e type=reset></button>");
    DomRef doc = document->NewReference();
    DomRef inputs = Tags(doc);
    ASSERT_EQ(inputs.Read("length").ToInt32(), 3);
    EXPECT_EQ(inputs.Call("item", {Value::Double(0)}).ToObject().Read("type").ToText(), "text");
    EXPECT_EQ(inputs.Call("item", {Value::Double(1)}).ToObject().Read("type").ToText(), "radio");
    EXPECT_EQ(inputs.Call("item", {Value::Double(2)}).ToObject().Read("type").ToText(), "text");
    DomRef buttons = Tags(doc, "button");
    EXPECT_EQ(buttons.Call("item", {Value::Double(0)}).ToObject().Read("type").ToText(), "submit");
    EXPECT_EQ(buttons.Call("item", {Value::Double(1)}).ToObject().Read("TYPE").ToText(), "reset");
    EXPECT_TRUE(buttons.Call("item", {Value::Double(2)}).IsEmpty());
    EXPECT_TRUE(buttons.Call("item", {Value::Text("0")}).IsEmpty());
}

TEST(ScriptedDom, KeepsOneTickedRadioButtonPerNameAndForm) {
    auto document = Page(
        "<form><input type=radio name=g id=a checked><input type=radio name=g id=b></form>"
        "<form><input type=radio name=g id=c checked></form>"
        "<input type=radio id=d><input type=radio id=e>");
    DomRef doc = document->NewReference();
    DomRef inputs = Tags(doc);
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(inputs.Call("item", {Value::Double(1)})
                    .ToObject()
                    .Write("checked", Value::Text("checked")));
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{2, 3}));
    // Without a name a radio button is a group of its own.
    inputs.Call("item", {Value::Double(3)}).ToObject().Write("checked", Value::Text("checked"));
    inputs.Call("item", {Value::Double(4)}).ToObject().Write("Checked", Value::Text("checked"));
    EXPECT_EQ(document->CheckedRadioNumbers(), (std::vector<int>{2, 3, 4, 5}));
}

TEST(ScriptedDom, WalksUpTheTreeAndReadsTextAsTheDocumentModelDoes) {
    auto document = Page(
        "<div id=post><p>Hello <b>big</b> world</p><script>var t=1;</script>"
        "<span hidden>secret</span><label><input type=radio id=r>good</label></div>"
        "<div id=other></div>");
    DomRef doc = document->NewReference();
    EXPECT_EQ(doc.Read("URL").ToText(), "about:blank");
    document->SetUrl("http://forum.invalid/audit?page=2");
    EXPECT_EQ(doc.Read("url").ToText(), "http://forum.invalid/audit?page=2");
    // The document's own collections hold the root element too.
    EXPECT_EQ(doc.Call("getElementsByTagName", {Value::Text("HTML")}).ToObject().Read("length"),
              Value::Int32(1));

    DomRef inputs = doc.Call("getElementsByTagName", {Value::Text("input")}).ToObject();
    ASSERT_EQ(inputs.Read("length").ToInt32(), 1);
    DomRef radio = inputs.Call("item", {Value::Double(0)}).ToObject();
    DomRef post = radio.Read("parentElement").ToObject().Read("parentElement").ToObject();
    EXPECT_EQ(post.Read("id").ToText(), "post");
    std::vector<std::string> above;
    for (DomRef up = post.Read("parentElement").ToObject(); up;
         up = up.Read("parentElement").ToObject())
        above.push_back(up.Read("tagName").ToText());
    EXPECT_EQ(above, (std::vector<std::string>{"body", "html"}));

    EXPECT_EQ(post.Call("contains", {Value::Object(radio)}), Value::Boolean(true));
    EXPECT_EQ(radio.Call("contains", {Value::Object(radio)}), Value::Boolean(true));
    EXPECT_EQ(radio.Call("contains", {Value::Object(post)}), Value::Boolean(false));
    DomRef other = post.Read("parentElement")
                       .ToObject()
                       .Call("getElementsByTagName", {Value::Text("div")})
                       .ToObject()
                       .Call("item", {Value::Double(1)})
                       .ToObject();
    EXPECT_EQ(other.Read("id").ToText(), "other");
    EXPECT_EQ(other.Call("contains", {Value::Object(radio)}), Value::Boolean(false));
    EXPECT_EQ(other.Call("contains", {Value::Object(doc)}), Value::Boolean(false));

    // textContent is every descendant's text; innerText only what is drawn.
    EXPECT_EQ(post.Read("textContent").ToText(), "Hello big worldvar t=1;secretgood");
    EXPECT_EQ(post.Read("innerText").ToText(), "Hello big worldgood");
    document->Withhold("textContent");
    EXPECT_TRUE(post.Read("textContent").IsEmpty());
    EXPECT_EQ(post.Read("innerText").ToText(), "Hello big worldgood");
}

TEST(ScriptedDom, LaysOutOnlyWhatIsShownAndOpensOnlyItsOwnSitesFrames) {
    auto document = Page(
        "<input type=password id=a><div style='color: red; DISPLAY : none'>"
        "<input type=password></div><input type=password hidden><input type=hidden>"
        "<iframe id=same></iframe><iframe id=foreign></iframe>");
    auto framed = Page("<input type=password>");
    document->SetFrameDocument("same", framed);
    {
        DomRef doc = document->NewReference();
        DomRef inputs = doc.Call("getElementsByTagName", {Value::Text("input")}).ToObject();
        std::vector<std::int32_t> sizes;
        for (int i = 0; i < 4; ++i) {
            DomRef input = inputs.Call("item", {Value::Double(i)}).ToObject();
            sizes.push_back(input.Read("offsetWidth").ToInt32());
            sizes.push_back(input.Read("offsetHeight").ToInt32());
        }
        EXPECT_GT(sizes[0], 0);
        EXPECT_GT(sizes[1], 0);
        EXPECT_EQ(std::vector<std::int32_t>(sizes.begin() + 2, sizes.end()),
                  std::vector<std::int32_t>(6, 0));

        DomRef frames = doc.Call("getElementsByTagName", {Value::Text("iframe")}).ToObject();
        DomRef inner = frames.Call("item", {Value::Double(0)})
                           .ToObject()
                           .Read("contentWindow")
                           .ToObject()
                           .Read("document")
                           .ToObject();
        EXPECT_EQ(inner.Call("getElementsByTagName", {Value::Text("input")})
                      .ToObject()
                      .Read("length")
                      .ToInt32(),
                  1);
        EXPECT_EQ(framed->liveReferences(), 1);
        DomRef foreign =
            frames.Call("item", {Value::Double(1)}).ToObject().Read("contentWindow").ToObject();
        EXPECT_TRUE(foreign);
        EXPECT_TRUE(foreign.Read("document").IsEmpty());
        EXPECT_TRUE(
            inputs.Call("item", {Value::Double(0)}).ToObject().Read("contentWindow").IsEmpty());
    }
    EXPECT_EQ(document->liveReferences(), 0);
    EXPECT_EQ(framed->liveReferences(), 0);
}

TEST(ScriptedDom, CountsEveryReferenceAndFailsOnceDisconnected) {
    auto document = Page("<input type=submit id=s>");
    {
        DomRef doc = document->NewReference();
        DomRef body = doc.Read("body").ToObject();
        DomRef copy = body;
        EXPECT_EQ(document->liveReferences(), 3);
        document->Disconnect();
        Value result;
        EXPECT_FALSE(body.TryCall("click", {}, result));
        EXPECT_TRUE(doc.Read("body").IsEmpty());
    }
    EXPECT_EQ(document->liveReferences(), 0);
}

TEST(ScriptedPlatform, WalksChildrenInZOrderAndForgetsDestroyedWindows) {
    ScriptedPlatform platform;
    WindowHandle parent = platform.CreateWindow("P");
    WindowHandle a = platform.CreateWindow("A", parent);
    WindowHandle b = platform.CreateWindow("B", parent);
    WindowHandle c = platform.CreateWindow("C", parent);
    EXPECT_EQ(platform.FindWindowExA(parent, 0, nullptr, nullptr), a);
    EXPECT_EQ(platform.FindWindowExA(parent, a, nullptr, nullptr), b);
    platform.DestroyWindow(b);
    EXPECT_FALSE(platform.IsWindow(b));
    EXPECT_EQ(platform.FindWindowExA(parent, a, nullptr, nullptr), c);
    EXPECT_EQ(platform.FindWindowExA(parent, b, nullptr, nullptr), 0);
    EXPECT_EQ(platform.FindWindowExA(parent, c, nullptr, nullptr), 0);
    char name[4];
    EXPECT_EQ(platform.GetClassNameA(b, name, 4), 0);
}

TEST(ScriptedPlatform, DispatchRunsOnlyTheMessagesAlreadyWaiting) {
    ScriptedPlatform platform;
    std::vector<int> ran;
    platform.PostMessage([&] {
        ran.push_back(1);
        platform.PostMessage([&] { ran.push_back(3); });
    });
    platform.PostMessage([&] { ran.push_back(2); });
    platform.DispatchWaitingMessages();
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_EQ(platform.waitingMessages(), 1u);
    platform.DispatchWaitingMessages();
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(ScriptedPlatform, AReplyGivesTheDocumentOnceAndOnlyAsTheDocumentInterface) {
    BrowserPage browser("<p>");
    std::uint32_t message = browser.platform.RegisterWindowMessageA("WM_HTML_GETOBJECT");
    EXPECT_EQ(message, browser.platform.RegisterWindowMessageA("WM_HTML_GETOBJECT"));
    std::uintptr_t reply = 0;
    EXPECT_NE(browser.platform.SendMessageTimeoutA(browser.documentWindow, message, 0, 0, 2, 1000,
                                                   &reply),
              0);
    DomRef document;
    browser_host::Guid other = browser_host::kIidHtmlDocument;
    other.data1 ^= 1;
    EXPECT_NE(browser.platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply), other,
                                                 0, document),
              0);
    EXPECT_EQ(browser.platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                                 browser_host::kIidHtmlDocument, 0, document),
              0);
    EXPECT_TRUE(document);
    DomRef again;
    EXPECT_NE(browser.platform.ObjectFromLresult(static_cast<browser_host::Lresult>(reply),
                                                 browser_host::kIidHtmlDocument, 0, again),
              0);
}

}  // namespace
}  // namespace autolabel::tests
