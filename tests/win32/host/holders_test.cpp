// The holders that pair the Win32 and COM calls the window makes: a thread
// timer and its kill, an event sink's Advise and Unadvise, the thread's
// message pre-translator set and cleared.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "page/browser_host/win32/message_delivery.h"
#include "support/win32/com_object.h"
#include "support/win32/thread_timer.h"
#include "support/win32/unique_connection.h"
#include "tests/win32/support/main_window_fixture.h"

namespace autolabel::tests::win32 {
namespace {

using namespace support::win32;

class CountedTicks final : public TimerTick {
  public:
    void OnTick() override { ++ticks; }
    int ticks = 0;
};

TEST(ThreadTimer, TicksUntilItsHolderGoesAndATickLeftInTheQueueRunsNothing) {
    CountedTicks counted;
    UniqueThreadTimer timer = StartThreadTimer(10, counted);
    ASSERT_TRUE(timer);
    EXPECT_TRUE(RunMessagesUntil("two ticks", [&] { return counted.ticks >= 2; }));
    // A holder moved on keeps the one timer.
    UniqueThreadTimer moved = std::move(timer);
    EXPECT_FALSE(timer);
    const int before = counted.ticks;
    EXPECT_TRUE(RunMessagesUntil("a tick after the move", [&] { return counted.ticks > before; }));

    // A tick taken from the queue, and handed on only after the kill.
    MSG left{};
    ASSERT_TRUE(RunMessagesUntil("a tick in the queue", [&] {
        return ::PeekMessageW(&left, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE) &&
               left.hwnd == nullptr && left.wParam == moved.Get();
    }));
    moved.Reset();
    const int killed = counted.ticks;
    ::DispatchMessageW(&left);
    EXPECT_EQ(counted.ticks, killed);
}

// A connection point of a test object, recording its sinks.
class TestEventSource final : public ComObject<IConnectionPointContainer, IConnectionPoint> {
  public:
    std::vector<DWORD> advised, unadvised;
    ComPtr<IUnknown> sink;
    bool refuses = false;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return AnswerQueryInterface(
            iid, object,
            {{IID_IUnknown, static_cast<IConnectionPointContainer*>(this)},
             {IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
             {IID_IConnectionPoint, static_cast<IConnectionPoint*>(this)}});
    }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID events, IConnectionPoint** point) override {
        *point = nullptr;
        if (!::IsEqualIID(events, IID_IDispatch)) return CONNECT_E_NOCONNECTION;
        AddRef();
        *point = this;
        return S_OK;
    }
    STDMETHODIMP GetConnectionInterface(IID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Advise(IUnknown* given, DWORD* cookie) override {
        if (refuses) return CONNECT_E_CANNOTCONNECT;
        sink = ComPtr<IUnknown>::Share(given);
        *cookie = 41 + static_cast<DWORD>(advised.size());
        advised.push_back(*cookie);
        return S_OK;
    }
    STDMETHODIMP Unadvise(DWORD cookie) override {
        unadvised.push_back(cookie);
        sink.Reset();
        return S_OK;
    }
    STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
};

TEST(Connection, UnadvisesWithItsCookieWhenTheHolderGoesAndIsEmptyWhereRefused) {
    auto source = ComPtr<TestEventSource>::Adopt(new TestEventSource());
    auto sink = ComPtr<TestEventSource>::Adopt(new TestEventSource());  // any object
    IUnknown* object = static_cast<IConnectionPointContainer*>(source.Get());
    IUnknown* sinkObject = static_cast<IConnectionPointContainer*>(sink.Get());
    {
        UniqueConnection connection = Advise(object, IID_IDispatch, sinkObject);
        ASSERT_TRUE(connection);
        EXPECT_EQ(source->advised, std::vector<DWORD>{41});
        EXPECT_TRUE(source->unadvised.empty());
    }
    EXPECT_EQ(source->unadvised, std::vector<DWORD>{41});
    EXPECT_EQ(sink->References(), 1u);
    EXPECT_EQ(source->References(), 1u);  // the connection point's reference is gone

    EXPECT_FALSE(Advise(object, IID_IPersist, sinkObject));  // no such connection point
    source->refuses = true;
    EXPECT_FALSE(Advise(object, IID_IDispatch, sinkObject));
    EXPECT_FALSE(Advise(nullptr, IID_IDispatch, sinkObject));
    EXPECT_EQ(source->unadvised.size(), 1u);
    EXPECT_EQ(source->References(), 1u);
}

class NamedTranslator final : public browser_host::win32::MessagePreTranslator {
  public:
    bool PreTranslate(MSG&) override { return false; }
};

TEST(PreTranslatorRegistration, ClearsTheThreadsOwnOnlyAndNotOneThatTookItsPlace) {
    using browser_host::win32::CurrentMessagePreTranslator;
    using browser_host::win32::RegisterMessagePreTranslator;
    NamedTranslator first, second;
    {
        auto registration = RegisterMessagePreTranslator(first);
        EXPECT_EQ(CurrentMessagePreTranslator(), &first);
    }
    EXPECT_EQ(CurrentMessagePreTranslator(), nullptr);

    auto earlier = RegisterMessagePreTranslator(first);
    {
        auto later = RegisterMessagePreTranslator(second);
        earlier.Reset();  // the first window goes after the second came
        EXPECT_EQ(CurrentMessagePreTranslator(), &second);
    }
    EXPECT_EQ(CurrentMessagePreTranslator(), nullptr);
}

}  // namespace
}  // namespace autolabel::tests::win32
