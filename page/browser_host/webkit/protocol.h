// The messages between the tool and its web process extension. One message is
// one SOCK_SEQPACKET datagram: a fixed header, then a payload of at most
// kMaxPayload bytes. Either side treats what it receives as untrusted: every
// read is bounds-checked and a malformed message is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace autolabel::browser_host::webkit::protocol {

inline constexpr std::uint32_t kMagic = 0x414C4231;  // "ALB1"
inline constexpr std::size_t kMaxPayload = 64 * 1024;
inline constexpr std::size_t kMaxArguments = 16;
inline constexpr std::size_t kMaxReleaseBatch = 1024;
inline constexpr std::size_t kTokenLength = 32;

// The name of the WebKit user message the tool sends a page whose process has
// no connection: the extension then tries to connect again.
inline constexpr const char* kConnectRequest = "autolabel-bridge-connect";

enum class Op : std::uint16_t {
    Hello = 1,        // extension -> tool: token, page id; no reply
    GetDocument = 2,  // -> handle of the current document
    Read = 3,         // handle, name -> value
    Write = 4,        // handle, name, value -> nothing
    Call = 5,         // handle, name, arguments -> value
    Release = 6,      // handles; no reply
    Reply = 7,        // status, value
    FindElement = 8,  // document handle, ElementQuery -> ElementAnswer
};

enum class Status : std::uint16_t { Ok = 0, Failed = 1 };

struct Header {
    std::uint32_t magic;
    std::uint32_t sequence;
    std::uint16_t op;
    std::uint16_t status;
    std::uint32_t length;
};
static_assert(sizeof(Header) == 16);

// A DOM handle: the document generation in the high half, so that a handle of
// an earlier document can never name an object of the current one.
using Handle = std::uint64_t;

// A value on the wire; mirrors the tool's Value, objects travel as handles.
struct WireValue {
    enum class Kind : std::uint8_t { Empty = 0, Boolean, Int32, Double, Text, Object };
    Kind kind = Kind::Empty;
    bool boolean = false;
    std::int32_t int32 = 0;
    double number = 0;
    std::string text;
    Handle handle = 0;

    static WireValue Text(std::string t) {
        WireValue v;
        v.kind = Kind::Text;
        v.text = std::move(t);
        return v;
    }
    static WireValue Object(Handle h) {
        WireValue v;
        v.kind = Kind::Object;
        v.handle = h;
        return v;
    }
};

// Appends fields to a message; Finish() fills in the header.
class Writer {
  public:
    Writer(Op op, std::uint32_t sequence, Status status = Status::Ok);
    void U32(std::uint32_t v);
    void U64(std::uint64_t v);
    void Bytes(std::string_view s);  // length-prefixed
    void Value(const WireValue& v);
    // The datagram, or nullopt when the payload grew past kMaxPayload.
    std::optional<std::span<const std::byte>> Finish();

  private:
    void Raw(const void* data, std::size_t size);
    std::vector<std::byte> buffer_;
};

// Reads fields from a received payload; any overrun makes ok() false and
// every later read yield zero values.
class Reader {
  public:
    explicit Reader(std::span<const std::byte> payload) : rest_(payload) {}
    std::uint32_t U32();
    std::uint64_t U64();
    std::string Bytes();
    WireValue Value();
    bool ok() const { return ok_; }
    bool AtEnd() const { return ok_ && rest_.empty(); }

  private:
    bool Take(void* out, std::size_t size);
    std::span<const std::byte> rest_;
    bool ok_ = true;
};

// Splits a received datagram into a checked header and its payload.
struct Message {
    Header header;
    std::span<const std::byte> payload;
};
std::optional<Message> Parse(std::span<const std::byte> datagram);

// The element lookup walked in the page's process in one request: the
// arguments of the tool's FindElement, with the identifier's number read.
struct ElementQuery {
    std::string typeList;
    std::string identifier;
    std::int32_t skipCount = 0;
    std::int32_t ordinal = 0;  // the running count as the caller passed it in
    std::int32_t position = 0;
};
void WriteQuery(Writer& w, Handle document, const ElementQuery& query);
bool ReadQuery(Reader& r, Handle& document, ElementQuery& query);

struct ElementAnswer {
    // False when the page's process met a value it cannot read exactly as the
    // tool would; the tool then walks through the bridge itself.
    bool walked = false;
    std::int32_t ordinal = -1;
    WireValue element;  // an object, or empty when nothing was found
};
void WriteAnswer(Writer& w, const ElementAnswer& answer);
// False for a malformed answer, or one that contradicts itself.
bool ReadAnswer(Reader& r, ElementAnswer& answer);

}  // namespace autolabel::browser_host::webkit::protocol
