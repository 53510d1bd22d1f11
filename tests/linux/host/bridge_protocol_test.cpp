// The bridge's wire format and the tool's side of a connection, against a
// socket pair playing the page's process: what arrives is untrusted, late
// answers are dropped, and nothing waits past its bound.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "page/browser_host/webkit/bridge.h"
#include "page/browser_host/webkit/protocol.h"

namespace autolabel::tests::linux {

using namespace browser_host::webkit;

using support::glib::UniqueFd;
namespace {

namespace p = browser_host::webkit::protocol;
using namespace std::chrono_literals;

std::vector<std::byte> Bytes(p::Writer& w) {
    auto datagram = w.Finish();
    return datagram ? std::vector<std::byte>(datagram->begin(), datagram->end())
                    : std::vector<std::byte>{};
}

TEST(Protocol, ValuesRoundTrip) {
    p::Writer w(p::Op::Call, 7);
    p::WireValue b;
    b.kind = p::WireValue::Kind::Boolean;
    b.boolean = true;
    p::WireValue d;
    d.kind = p::WireValue::Kind::Double;
    d.number = 2.5;
    w.Value(b);
    w.Value(d);
    w.Value(p::WireValue::Text(std::string("a\0b", 3)));
    w.Value(p::WireValue::Object(0x100000002ull));
    w.Value(p::WireValue{});
    const auto bytes = Bytes(w);
    auto message = p::Parse(bytes);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->header.sequence, 7u);
    EXPECT_EQ(message->header.op, static_cast<std::uint16_t>(p::Op::Call));
    p::Reader r(message->payload);
    EXPECT_TRUE(r.Value().boolean);
    EXPECT_EQ(r.Value().number, 2.5);
    EXPECT_EQ(r.Value().text, std::string("a\0b", 3));
    EXPECT_EQ(r.Value().handle, 0x100000002ull);
    EXPECT_EQ(r.Value().kind, p::WireValue::Kind::Empty);
    EXPECT_TRUE(r.AtEnd());
}

TEST(Protocol, MalformedDatagramsAreRejected) {
    p::Writer w(p::Op::Reply, 1);
    w.Value(p::WireValue::Text("hello"));
    auto bytes = Bytes(w);
    EXPECT_FALSE(p::Parse(std::span(bytes).first(sizeof(p::Header) - 1)));  // short header
    EXPECT_FALSE(p::Parse(std::span(bytes).first(bytes.size() - 1)));       // length mismatch
    auto badMagic = bytes;
    badMagic[0] ^= std::byte{1};
    EXPECT_FALSE(p::Parse(badMagic));
}

TEST(Protocol, ReaderNeverReadsPastThePayload) {
    // A text that claims more bytes than follow.
    p::Writer w(p::Op::Reply, 1);
    w.U32(1000);
    const auto bytes = Bytes(w);
    p::Reader text(p::Parse(bytes)->payload);
    EXPECT_EQ(text.Bytes(), "");
    EXPECT_FALSE(text.ok());
    // An unknown kind of value.
    const std::byte unknown[] = {std::byte{9}};
    p::Reader kind(unknown);
    EXPECT_EQ(kind.Value().kind, p::WireValue::Kind::Empty);
    EXPECT_FALSE(kind.ok());
    // A double cut short.
    const std::byte shortDouble[] = {std::byte{3}, std::byte{0}, std::byte{0}};
    p::Reader cut(shortDouble);
    cut.Value();
    EXPECT_FALSE(cut.ok());
    EXPECT_FALSE(cut.AtEnd());
}

TEST(Protocol, OversizedPayloadIsNotSent) {
    p::Writer w(p::Op::Reply, 1);
    w.Bytes(std::string(p::kMaxPayload, 'x'));
    EXPECT_FALSE(w.Finish());
}

// The tool's end of a connection, and the page's end for the test to play.
struct Pair {
    Pair() {
        int fds[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds), 0);
        tool = std::make_shared<Connection>(UniqueFd(fds[0]));
        page = UniqueFd(fds[1]);
    }
    void Answer(std::uint32_t sequence, const p::WireValue& value, std::string_view extra = {},
                p::Status status = p::Status::Ok) {
        p::Writer w(p::Op::Reply, sequence, status);
        w.Value(value);
        if (!extra.empty()) w.U32(0);
        const auto bytes = Bytes(w);
        ASSERT_EQ(send(page.Get(), bytes.data(), bytes.size(), 0),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::shared_ptr<Connection> tool;
    UniqueFd page;
};

TEST(Connection, LateAnswersToEarlierRequestsAreDropped) {
    Pair pair;
    // Queued before the request is even sent: an answer to request 0 (an
    // earlier, timed-out one) and a stray non-reply, then the real answer.
    pair.Answer(0, p::WireValue::Text("stale"));
    const char junk[] = "not a message";
    send(pair.page.Get(), junk, sizeof junk, 0);
    pair.Answer(1, p::WireValue::Text("fresh"));
    p::WireValue reply;
    ASSERT_TRUE(pair.tool->Read(5, "type", reply));
    EXPECT_EQ(reply.text, "fresh");
}

TEST(Connection, AnswerWithTrailingBytesOrFailureStatusFails) {
    Pair pair;
    pair.Answer(1, p::WireValue::Text("x"), "extra");
    p::WireValue reply;
    EXPECT_FALSE(pair.tool->Read(5, "type", reply));
    EXPECT_EQ(reply.kind, p::WireValue::Kind::Empty);
    pair.Answer(2, p::WireValue::Text("x"), {}, p::Status::Failed);
    EXPECT_FALSE(pair.tool->Read(5, "type", reply));
}

// How many requests the page's end has been sent and not yet read.
int RequestsWaiting(int page) {
    int count = 0;
    std::byte buffer[512];
    while (recv(page, buffer, sizeof buffer, MSG_DONTWAIT) > 0) ++count;
    return count;
}

TEST(Connection, SilentPageHasOneBoundPerCommand) {
    Pair pair;
    p::WireValue reply;
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pair.tool->Read(5, "type", reply));
    const auto first = std::chrono::steady_clock::now() - start;
    EXPECT_GE(first, 1000ms);
    EXPECT_LT(first, 2500ms);  // bounded, with room for a loaded machine
    EXPECT_TRUE(pair.tool->Unanswering());
    // The rest of the command fails at once, the document request too, and
    // nothing more is sent to the page.
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(pair.tool->Read(5, "type", reply));
    EXPECT_FALSE(pair.tool->GetDocument(1000ms, reply));
    EXPECT_EQ(reply.kind, p::WireValue::Kind::Empty);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(RequestsWaiting(pair.page.Get()), 1);

    // A new command tries the page afresh, with the whole bound.
    pair.tool->BeginCommand();
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pair.tool->Read(5, "type", reply));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(RequestsWaiting(pair.page.Get()), 1);

    // A late answer, within the same command, shows the page answering
    // again: the next call is sent and answered.
    pair.Answer(103, p::WireValue::Text("late"));
    EXPECT_FALSE(pair.tool->Unanswering());
    pair.Answer(104, p::WireValue::Text("ok"));
    ASSERT_TRUE(pair.tool->Read(5, "type", reply));
    EXPECT_EQ(reply.text, "ok");
}

// A slow page is not a silent one: answers just inside the bound keep
// every call of the command going.
TEST(Connection, SlowPageKeepsBeingAnswered) {
    Pair pair;
    std::thread page([&] {
        std::byte buffer[512];
        for (int i = 0; i < 3; ++i) {
            const ssize_t n = recv(pair.page.Get(), buffer, sizeof buffer, 0);
            auto request = p::Parse({buffer, static_cast<std::size_t>(n)});
            if (!request) return;
            std::this_thread::sleep_for(300ms);
            pair.Answer(request->header.sequence, p::WireValue::Text("slow"));
        }
    });
    p::WireValue reply;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pair.tool->Read(5, "type", reply)) << i;
        EXPECT_EQ(reply.text, "slow");
    }
    EXPECT_FALSE(pair.tool->Unanswering());
    page.join();
}

TEST(Connection, ClosedPageFailsAtOnceAndReleasesAreBatched) {
    Pair pair;
    pair.tool->QueueRelease(11);
    pair.tool->QueueRelease(12);
    pair.Answer(1, p::WireValue{});
    p::WireValue reply;
    ASSERT_TRUE(pair.tool->Read(5, "type", reply));
    // The page saw the releases first, in one message, then the request.
    std::byte buffer[256];
    const ssize_t n = recv(pair.page.Get(), buffer, sizeof buffer, 0);
    auto release = p::Parse({buffer, static_cast<std::size_t>(n)});
    ASSERT_TRUE(release);
    EXPECT_EQ(release->header.op, static_cast<std::uint16_t>(p::Op::Release));
    p::Reader r(release->payload);
    EXPECT_EQ(r.U32(), 2u);
    EXPECT_EQ(r.U64(), 11u);
    EXPECT_EQ(r.U64(), 12u);

    pair.page.Reset();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pair.tool->Read(5, "type", reply));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_FALSE(pair.tool->alive());
}

// Connects to the bridge as an extension would and introduces itself.
UniqueFd Introduce(Bridge& bridge, std::string_view token, std::uint64_t pageId) {
    g_autoptr(GVariant) data = g_variant_ref_sink(bridge.InitializationData());
    const char* path = nullptr;
    g_variant_get(data, "(&s&s)", &path, nullptr);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
    UniqueFd fd(socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    EXPECT_EQ(connect(fd.Get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    p::Writer w(p::Op::Hello, 0);
    w.Bytes(token);
    w.U64(pageId);
    const auto bytes = Bytes(w);
    send(fd.Get(), bytes.data(), bytes.size(), 0);
    return fd;
}

std::string TokenOf(Bridge& bridge) {
    g_autoptr(GVariant) data = g_variant_ref_sink(bridge.InitializationData());
    const char* token = nullptr;
    g_variant_get(data, "(&s&s)", nullptr, &token);
    return token;
}

TEST(Bridge, OnlyAPeerWithTheTokenServesAPage) {
    Bridge bridge;
    ASSERT_TRUE(bridge.ready());
    const std::string token = TokenOf(bridge);
    EXPECT_EQ(token.size(), p::kTokenLength);
    std::string wrong = token;
    wrong[0] = wrong[0] == 'a' ? 'b' : 'a';
    UniqueFd impostor = Introduce(bridge, wrong, 7);
    UniqueFd shortToken = Introduce(bridge, token.substr(1), 7);
    EXPECT_EQ(bridge.ConnectionFor(7), nullptr);
    UniqueFd genuine = Introduce(bridge, token, 7);
    EXPECT_NE(bridge.ConnectionFor(7), nullptr);
    EXPECT_EQ(bridge.ConnectionFor(8), nullptr);
}

TEST(Bridge, NewProcessForAPageReplacesTheOldOne) {
    Bridge bridge;
    UniqueFd first = Introduce(bridge, TokenOf(bridge), 3);
    auto old = bridge.ConnectionFor(3);
    ASSERT_NE(old, nullptr);
    UniqueFd second = Introduce(bridge, TokenOf(bridge), 3);
    auto current = bridge.ConnectionFor(3);
    EXPECT_NE(current, old);
    EXPECT_FALSE(old->alive());
}

TEST(Bridge, DocumentRequestWithoutAPageProcessKeepsItsBound) {
    Bridge bridge;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(bridge.RequestDocument(42, 200ms));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 1500ms);
}

TEST(Bridge, SocketDirectoryIsPrivate) {
    Bridge bridge;
    struct stat info {};
    ASSERT_EQ(stat(bridge.directory().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// ---- The element lookup walked in the page's process ----

std::vector<std::byte> AnswerBytes(std::uint32_t walked, std::int32_t ordinal,
                                   const p::WireValue& element, bool extra = false) {
    p::Writer w(p::Op::Reply, 1);
    w.U32(walked);
    w.U32(static_cast<std::uint32_t>(ordinal));
    w.Value(element);
    if (extra) w.U32(0);
    return Bytes(w);
}

bool ReadsAsAnswer(const std::vector<std::byte>& bytes, p::ElementAnswer& answer) {
    auto message = p::Parse(bytes);
    if (!message) return false;
    p::Reader r(message->payload);
    return p::ReadAnswer(r, answer);
}

TEST(Protocol, ElementQueryAndAnswersRoundTrip) {
    p::Writer w(p::Op::FindElement, 3);
    const p::ElementQuery query{"button|submit|reset", std::string("2\0x", 3), -1, -7, 2};
    p::WriteQuery(w, 0x500000009ull, query);
    const auto bytes = Bytes(w);
    auto message = p::Parse(bytes);
    ASSERT_TRUE(message);
    p::Reader r(message->payload);
    p::Handle document = 0;
    p::ElementQuery read;
    ASSERT_TRUE(p::ReadQuery(r, document, read));
    EXPECT_EQ(document, 0x500000009ull);
    EXPECT_EQ(read.typeList, query.typeList);
    EXPECT_EQ(read.identifier, query.identifier);
    EXPECT_EQ(read.skipCount, -1);
    EXPECT_EQ(read.ordinal, -7);
    EXPECT_EQ(read.position, 2);

    p::ElementAnswer answer;
    ASSERT_TRUE(ReadsAsAnswer(AnswerBytes(1, 4, p::WireValue::Object(0x100000003ull)), answer));
    EXPECT_TRUE(answer.walked);
    EXPECT_EQ(answer.ordinal, 4);
    EXPECT_EQ(answer.element.handle, 0x100000003ull);
    ASSERT_TRUE(ReadsAsAnswer(AnswerBytes(1, -1, p::WireValue{}), answer));
    EXPECT_TRUE(answer.walked);
    EXPECT_EQ(answer.element.kind, p::WireValue::Kind::Empty);
    ASSERT_TRUE(ReadsAsAnswer(AnswerBytes(0, 0, p::WireValue{}), answer));
    EXPECT_FALSE(answer.walked);
}

TEST(Protocol, ElementAnswersThatContradictThemselvesAreRejected) {
    p::ElementAnswer answer;
    // Nothing found with an ordinal other than -1; a text for an element; a
    // declined walk that names an element; an unknown outcome; trailing bytes.
    EXPECT_FALSE(ReadsAsAnswer(AnswerBytes(1, 3, p::WireValue{}), answer));
    EXPECT_FALSE(ReadsAsAnswer(AnswerBytes(1, 1, p::WireValue::Text("input")), answer));
    EXPECT_FALSE(ReadsAsAnswer(AnswerBytes(0, 1, p::WireValue::Object(7)), answer));
    EXPECT_FALSE(ReadsAsAnswer(AnswerBytes(2, 1, p::WireValue::Object(7)), answer));
    EXPECT_FALSE(ReadsAsAnswer(AnswerBytes(1, 1, p::WireValue::Object(7), true), answer));
    EXPECT_FALSE(answer.walked);
}

TEST(Connection, ElementLookupIsOneRequestAndItsAnswer) {
    Pair pair;
    const auto reply = AnswerBytes(1, 2, p::WireValue::Object(0x100000004ull));
    ASSERT_EQ(send(pair.page.Get(), reply.data(), reply.size(), 0),
              static_cast<ssize_t>(reply.size()));
    p::ElementAnswer answer;
    ASSERT_TRUE(pair.tool->FindElement(0x100000001ull, {"radio", "2", 0, 0, 2}, answer));
    EXPECT_EQ(answer.ordinal, 2);
    EXPECT_EQ(answer.element.handle, 0x100000004ull);

    std::byte buffer[256];
    const ssize_t n = recv(pair.page.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
    ASSERT_GT(n, 0);
    auto request = p::Parse({buffer, static_cast<std::size_t>(n)});
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header.op, static_cast<std::uint16_t>(p::Op::FindElement));
    EXPECT_LT(recv(pair.page.Get(), buffer, sizeof buffer, MSG_DONTWAIT), 0) << "more than one";

    // A failed walk, and a page that is gone: no answer, at once.
    pair.Answer(2, p::WireValue{}, {}, p::Status::Failed);
    EXPECT_FALSE(pair.tool->FindElement(0x100000001ull, {"radio", "2", 0, 0, 2}, answer));
    pair.page.Reset();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pair.tool->FindElement(0x100000001ull, {"radio", "2", 0, 0, 2}, answer));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
}

}  // namespace
}  // namespace autolabel::tests::linux
