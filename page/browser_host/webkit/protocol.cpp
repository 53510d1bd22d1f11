#include "page/browser_host/webkit/protocol.h"

#include <cstring>

namespace autolabel::browser_host::webkit::protocol {

Writer::Writer(Op op, std::uint32_t sequence, Status status) {
    buffer_.reserve(64);
    Header header{kMagic, sequence, static_cast<std::uint16_t>(op),
                  static_cast<std::uint16_t>(status), 0};
    Raw(&header, sizeof header);
}

void Writer::Raw(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::byte*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

void Writer::U32(std::uint32_t v) { Raw(&v, sizeof v); }
void Writer::U64(std::uint64_t v) { Raw(&v, sizeof v); }

void Writer::Bytes(std::string_view s) {
    U32(static_cast<std::uint32_t>(s.size()));
    Raw(s.data(), s.size());
}

void Writer::Value(const WireValue& v) {
    const auto kind = static_cast<std::uint8_t>(v.kind);
    Raw(&kind, 1);
    switch (v.kind) {
        case WireValue::Kind::Empty:
            break;
        case WireValue::Kind::Boolean: {
            const std::uint8_t b = v.boolean ? 1 : 0;
            Raw(&b, 1);
            break;
        }
        case WireValue::Kind::Int32:
            Raw(&v.int32, sizeof v.int32);
            break;
        case WireValue::Kind::Double:
            Raw(&v.number, sizeof v.number);
            break;
        case WireValue::Kind::Text:
            Bytes(v.text);
            break;
        case WireValue::Kind::Object:
            U64(v.handle);
            break;
    }
}

std::optional<std::span<const std::byte>> Writer::Finish() {
    const std::size_t payload = buffer_.size() - sizeof(Header);
    if (payload > kMaxPayload) return std::nullopt;
    const auto length = static_cast<std::uint32_t>(payload);
    std::memcpy(buffer_.data() + offsetof(Header, length), &length, sizeof length);
    return std::span<const std::byte>(buffer_);
}

bool Reader::Take(void* out, std::size_t size) {
    if (!ok_ || rest_.size() < size) {
        ok_ = false;
        std::memset(out, 0, size);
        return false;
    }
    std::memcpy(out, rest_.data(), size);
    rest_ = rest_.subspan(size);
    return true;
}

std::uint32_t Reader::U32() {
    std::uint32_t v;
    Take(&v, sizeof v);
    return v;
}

std::uint64_t Reader::U64() {
    std::uint64_t v;
    Take(&v, sizeof v);
    return v;
}

std::string Reader::Bytes() {
    const std::uint32_t size = U32();
    if (!ok_ || rest_.size() < size) {
        ok_ = false;
        return {};
    }
    std::string s(reinterpret_cast<const char*>(rest_.data()), size);
    rest_ = rest_.subspan(size);
    return s;
}

WireValue Reader::Value() {
    WireValue v;
    std::uint8_t kind = 0;
    if (!Take(&kind, 1)) return v;
    switch (static_cast<WireValue::Kind>(kind)) {
        case WireValue::Kind::Empty:
            break;
        case WireValue::Kind::Boolean: {
            std::uint8_t b = 0;
            Take(&b, 1);
            v.boolean = b != 0;
            break;
        }
        case WireValue::Kind::Int32:
            Take(&v.int32, sizeof v.int32);
            break;
        case WireValue::Kind::Double:
            Take(&v.number, sizeof v.number);
            break;
        case WireValue::Kind::Text:
            v.text = Bytes();
            break;
        case WireValue::Kind::Object:
            v.handle = U64();
            break;
        default:
            ok_ = false;
            return WireValue{};
    }
    if (!ok_) return WireValue{};
    v.kind = static_cast<WireValue::Kind>(kind);
    return v;
}

std::optional<Message> Parse(std::span<const std::byte> datagram) {
    Message m{};
    if (datagram.size() < sizeof(Header)) return std::nullopt;
    std::memcpy(&m.header, datagram.data(), sizeof(Header));
    if (m.header.magic != kMagic || m.header.length > kMaxPayload ||
        m.header.length != datagram.size() - sizeof(Header))
        return std::nullopt;
    m.payload = datagram.subspan(sizeof(Header));
    return m;
}

// ---- The element lookup in the page's process ----

void WriteQuery(Writer& w, Handle document, const ElementQuery& query) {
    w.U64(document);
    w.Bytes(query.typeList);
    w.Bytes(query.identifier);
    w.U32(static_cast<std::uint32_t>(query.skipCount));
    w.U32(static_cast<std::uint32_t>(query.ordinal));
    w.U32(static_cast<std::uint32_t>(query.position));
}

bool ReadQuery(Reader& r, Handle& document, ElementQuery& query) {
    document = r.U64();
    query.typeList = r.Bytes();
    query.identifier = r.Bytes();
    query.skipCount = static_cast<std::int32_t>(r.U32());
    query.ordinal = static_cast<std::int32_t>(r.U32());
    query.position = static_cast<std::int32_t>(r.U32());
    return r.AtEnd();
}

void WriteAnswer(Writer& w, const ElementAnswer& answer) {
    w.U32(answer.walked ? 1 : 0);
    w.U32(static_cast<std::uint32_t>(answer.ordinal));
    w.Value(answer.element);
}

bool ReadAnswer(Reader& r, ElementAnswer& answer) {
    answer = ElementAnswer{};
    const std::uint32_t walked = r.U32();
    const auto ordinal = static_cast<std::int32_t>(r.U32());
    WireValue element = r.Value();
    if (!r.AtEnd() || walked > 1) return false;
    if (walked == 0) return element.kind == WireValue::Kind::Empty;
    // Nothing found always leaves the ordinal at -1.
    const bool found = element.kind == WireValue::Kind::Object;
    if (!found && (element.kind != WireValue::Kind::Empty || ordinal != -1)) return false;
    answer.walked = true;
    answer.ordinal = ordinal;
    answer.element = std::move(element);
    return true;
}

}  // namespace autolabel::browser_host::webkit::protocol
