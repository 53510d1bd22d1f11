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
