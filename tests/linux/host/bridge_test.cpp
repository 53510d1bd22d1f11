// The document model on the real engine, through the bridge: the members the
// page operations use, with their meanings, and handles that go stale.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "page/browser_host/dom_object.h"
#include "page/browser_host/value.h"
#include "tests/linux/support/harness.h"

namespace autolabel::tests::linux {
namespace {

using namespace browser_host;

DomRef BoundDocument() {
    app::page->BindWindow(app::browserWindow);
    return app::page->pageDocument;
}

DomRef Inputs(const DomRef& document) {
    return document.Read("body")
        .ToObject()
        .Read("all")
        .ToObject()
        .Call("tags", {Value::Text("input")})
        .ToObject();
}

constexpr const char* kForm = R"(<!DOCTYPE html><body>
  <p>before <input type=text id=t name=tn title=tt></p>
  <div><input type=radio name=g id=r1><input type=radio name=g id=r2 title="second"></div>
  <button id=b type=button>b</button><input type=submit id=s>
  <pre id=log></pre>
  <script>
    const log = (s) => document.getElementById('log').textContent += s + ';';
    document.getElementById('r1').addEventListener('mousedown', (e) => log('down:' + e.isTrusted));
    document.getElementById('s').addEventListener('click', (e) => { e.preventDefault(); log('click'); });
  </script>
</body>)";

TEST(Bridge, CollectionsInPageOrderWithDoublePositions) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef document = BoundDocument();
    ASSERT_TRUE(document);
    const DomRef inputs = Inputs(document);
    EXPECT_EQ(inputs.Read("length").ToInt32(), 4);
    EXPECT_EQ(inputs.Call("item", {Value::Double(0)}).ToObject().Read("id").ToText(), "t");
    EXPECT_EQ(inputs.Call("item", {Value::Double(2)}).ToObject().Read("id").ToText(), "r2");
    EXPECT_EQ(inputs.Call("item", {Value::Double(3)}).ToObject().Read("type").ToText(), "submit");
    EXPECT_FALSE(inputs.Call("item", {Value::Double(4)}).ToObject());
    const DomRef buttons = document.Read("body")
                               .ToObject()
                               .Read("all")
                               .ToObject()
                               .Call("tags", {Value::Text("button")})
                               .ToObject();
    EXPECT_EQ(buttons.Read("length").ToInt32(), 1);
    // The whole body's elements, also those that are no form controls.
    const DomRef all = document.Read("body").ToObject().Read("all").ToObject();
    EXPECT_GE(all.Read("length").ToInt32(), 9);
}

TEST(Bridge, TextMembersAndNamesWithoutCase) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef text = Inputs(BoundDocument()).Call("item", {Value::Double(0)}).ToObject();
    EXPECT_EQ(text.Read("type"), Value::Text("text"));
    EXPECT_EQ(text.Read("NAME"), Value::Text("tn"));
    EXPECT_EQ(text.Read("Id"), Value::Text("t"));
    EXPECT_EQ(text.Read("title"), Value::Text("tt"));
    const DomRef radio = Inputs(BoundDocument()).Call("item", {Value::Double(1)}).ToObject();
    EXPECT_EQ(radio.Read("title"), Value::Text(""));  // absent: empty text
    Value missing;
    EXPECT_FALSE(radio.Get()->ReadMember("noSuchMember", missing));
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(Bridge, CheckedWriteTicksAndMouseDownFires) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef inputs = Inputs(BoundDocument());
    const DomRef r1 = inputs.Call("item", {Value::Double(1)}).ToObject();
    const DomRef r2 = inputs.Call("item", {Value::Double(2)}).ToObject();
    EXPECT_TRUE(r2.Write("checked", Value::Text("checked")));
    EXPECT_EQ(h.RadioStates(), "01");
    EXPECT_TRUE(r1.Write("Checked", Value::Text("checked")));
    EXPECT_EQ(h.RadioStates(), "10");
    // The page's handler lives in the page's world: ours reads no handler.
    EXPECT_TRUE(r1.Read("onmousedown").IsEmpty());
    EXPECT_EQ(r1.Call("FireEvent", {Value::Text("onmousedown"), Value()}), Value::Boolean(true));
    EXPECT_EQ(h.Text("log"), "down:false;");
}

TEST(Bridge, ClickRunsThePageHandlerAfterTheCall) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef submit = Inputs(BoundDocument()).Call("item", {Value::Double(3)}).ToObject();
    Value result;
    EXPECT_TRUE(submit.TryCall("click", {}, result));
    EXPECT_TRUE(h.PumpUntil([&] { return h.Text("log") == "click;"; }));
}

TEST(Bridge, HandlesOfAnEarlierDocumentFailCleanly) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef old = Inputs(BoundDocument()).Call("item", {Value::Double(0)}).ToObject();
    ASSERT_EQ(old.Read("id").ToText(), "t");
    ASSERT_TRUE(h.LoadHtml("<body><input type=text id=other></body>"));
    Value result;
    EXPECT_FALSE(old.Get()->ReadMember("id", result));
    EXPECT_FALSE(old.Write("checked", Value::Text("checked")));
    EXPECT_TRUE(old.Call("click").IsEmpty());
    // The new document answers as usual.
    EXPECT_EQ(Inputs(BoundDocument()).Call("item", {Value::Double(0)}).ToObject().Read("id"),
              Value::Text("other"));
}

// Only the binding's walk may run the tool's own routines; a DOM call
// waits on its socket alone, and what comes meanwhile runs afterwards.
TEST(Waiting, DomCallsRunNoEventsAndDispatchingRunsOnlyWaitingOnes) {
    auto& h = Harness::Get();
    ASSERT_TRUE(h.LoadHtml(kForm));
    const DomRef text = Inputs(BoundDocument()).Call("item", {Value::Double(0)}).ToObject();
    int ran = 0;
    const auto count = [](gpointer n) -> gboolean {
        ++*static_cast<int*>(n);
        return G_SOURCE_REMOVE;
    };
    g_idle_add(count, &ran);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(text.Read("id").ToText(), "t");
    EXPECT_EQ(ran, 0);
    int later = 0;
    const guint future = g_timeout_add(60000, count, &later);
    h.platform().DispatchWaitingMessages();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(later, 0);  // not waited for
    g_source_remove(future);
}

}  // namespace
}  // namespace autolabel::tests::linux
