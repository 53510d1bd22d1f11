#include "app/page_content.h"

#include <cstddef>
#include <map>
#include <vector>

#include "page/browser_host/ascii_case.h"
#include "page/browser_host/value.h"
#include "page/collection_item.h"

namespace autolabel::app {

using automation::ItemOf;
using browser_host::AsciiLower;
using browser_host::DomRef;
using browser_host::Value;

namespace {

// How deep frames are followed: far beyond any page's nesting, only a bound
// against a document that keeps answering with frames.
constexpr int kFrameDepth = 8;

struct RadioGroup {
    std::string key;  // "" for a button with neither name nor id
    std::vector<std::string> values;
    DomRef first;
};

DomRef ElementsOf(const DomRef& document, const char* tag) {
    return document.Call("getElementsByTagName", {Value::Text(tag)}).ToObject();
}

bool IsShown(const DomRef& element) {
    return element.Read("offsetWidth").ToNumber() > 0 ||
           element.Read("offsetHeight").ToNumber() > 0;
}

// The one pass over the document's inputs: the radio groups in page order
// (when `groups` is given) and whether a password field is shown.
bool WalkInputs(const DomRef& document, std::vector<RadioGroup>* groups) {
    DomRef inputs = ElementsOf(document, "input");
    const std::int32_t length = inputs.Read("length").ToInt32();
    std::map<std::string, std::size_t, std::less<>> groupOfKey;
    bool password = false;
    for (std::int32_t i = 0; i < length; ++i) {
        DomRef input = ItemOf(inputs, i);
        const std::string type = AsciiLower(input.Read("type").ToText());
        if (type == "password" && !password) {
            password = IsShown(input);
            if (password && !groups) return true;
        }
        if (type != "radio" || !groups) continue;
        std::string key = input.Read("name").ToText();
        if (key.empty()) key = input.Read("id").ToText();
        auto known = key.empty() ? groupOfKey.end() : groupOfKey.find(key);
        std::size_t group = known != groupOfKey.end() ? known->second : groups->size();
        if (group == groups->size()) {
            if (!key.empty()) groupOfKey.emplace(key, group);
            groups->push_back({std::move(key), {}, input});
        }
        (*groups)[group].values.push_back(input.Read("value").ToText());
    }
    return password;
}

bool ShowsPassword(const DomRef& document, int depth);

bool FramesShowPassword(const DomRef& document, int depth) {
    if (depth >= kFrameDepth) return false;
    for (const char* tag : {"iframe", "frame"}) {
        DomRef frames = ElementsOf(document, tag);
        const std::int32_t length = frames.Read("length").ToInt32();
        for (std::int32_t i = 0; i < length; ++i) {
            DomRef frame = ItemOf(frames, i);
            if (!IsShown(frame)) continue;
            // Another site's document cannot be read: it stays empty.
            DomRef inner = frame.Read("contentWindow").ToObject().Read("document").ToObject();
            if (inner && ShowsPassword(inner, depth + 1)) return true;
        }
    }
    return false;
}

bool ShowsPassword(const DomRef& document, int depth) {
    return WalkInputs(document, nullptr) || FramesShowPassword(document, depth);
}

// Whether `ancestor` holds `element`. A call that cannot be made answers
// yes, which ends the climb where it is.
bool Holds(const DomRef& ancestor, const DomRef& element) {
    if (!element) return false;
    const Value argument[] = {Value::Object(element)};
    Value result;
    return !ancestor.TryCall("contains", argument, result) || result.ToBoolean();
}

// The post block of a group whose first button is `first`, between the
// neighbouring groups' first buttons (empty at the page's ends).
DomRef PostBlock(const DomRef& first, const DomRef& before, const DomRef& after) {
    const bool alone = !before && !after;
    DomRef block = first;
    for (;;) {
        DomRef parent = block.Read("parentElement").ToObject();
        if (!parent) break;
        if (alone) {
            const std::string tag = AsciiLower(parent.Read("tagName").ToText());
            if (tag == "form" || tag == "body" || tag == "html") break;
        } else if (Holds(parent, before) || Holds(parent, after)) {
            break;
        }
        block = std::move(parent);
    }
    return block;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string Collapsed(std::string_view text) {
    std::string out;
    bool pendingSpace = false;
    for (char c : text) {
        if (IsSpace(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
    return out;
}

std::string BlockText(const DomRef& block) {
    std::string text = Collapsed(block.Read("textContent").ToText());
    return text.empty() ? Collapsed(block.Read("innerText").ToText()) : text;
}

// 64-bit FNV-1a over fields, each preceded by its length.
class Digest {
  public:
    void Add(std::size_t number) {
        for (int i = 0; i < 8; ++i) AddByte(static_cast<unsigned char>(number >> (8 * i)));
    }
    void Add(std::string_view field) {
        Add(field.size());
        for (char c : field) AddByte(static_cast<unsigned char>(c));
    }
    std::uint64_t value() const { return hash_; }

  private:
    void AddByte(unsigned char byte) {
        hash_ ^= byte;
        hash_ *= 0x100000001b3ULL;
    }
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

std::uint64_t BatchDigest(const std::vector<RadioGroup>& groups) {
    if (groups.empty()) return 0;
    Digest digest;
    digest.Add(groups.size());
    const DomRef none;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const RadioGroup& group = groups[i];
        digest.Add(group.key);
        digest.Add(group.values.size());
        for (const std::string& value : group.values) digest.Add(value);
        const DomRef& before = i > 0 ? groups[i - 1].first : none;
        const DomRef& after = i + 1 < groups.size() ? groups[i + 1].first : none;
        digest.Add(BlockText(PostBlock(group.first, before, after)));
    }
    // 0 says "no radio button".
    return digest.value() != 0 ? digest.value() : 1;
}

// Characters a host name never holds (the URL standard's forbidden host code
// points, and '%': the browser gives hosts decoded).
bool IsHostCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f) return false;
    return std::string_view("#/:<>?@[\\]^|%").find(c) == std::string_view::npos;
}

bool IsHost(std::string_view host) {
    if (host.starts_with('[')) {
        if (host.size() < 3 || !host.ends_with(']')) return false;
        for (char c : host.substr(1, host.size() - 2)) {
            bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
            if (!hex && c != ':' && c != '.') return false;
        }
        return true;
    }
    if (host.empty()) return false;
    for (char c : host) {
        if (!IsHostCharacter(c)) return false;
    }
    return true;
}

// The port's number, -1 for none, -2 for one that is not a port.
long PortOf(std::string_view port) {
    if (port.empty()) return -1;
    long number = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return -2;
        number = number * 10 + (c - '0');
        if (number > 65535) return -2;
    }
    return number;
}

}  // namespace

PageContent ReadPageContent(const DomRef& document) {
    PageContent content;
    content.address = document.Read("URL").ToText();
    std::vector<RadioGroup> groups;
    content.asksForPassword = WalkInputs(document, &groups) || FramesShowPassword(document, 0);
    content.batch = BatchDigest(groups);
    return content;
}

std::string SiteOf(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) return "";
    const std::string scheme = AsciiLower(address.substr(0, colon));
    std::string_view rest = address.substr(colon + 1);
    if (scheme == "file") {
        std::string_view path = rest.substr(0, rest.find_first_of("?#"));
        return path.empty() ? "" : "file:" + std::string(path);
    }
    if ((scheme != "http" && scheme != "https") || !rest.starts_with("//")) return "";
    rest.remove_prefix(2);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    // An IPv6 literal holds colons of its own: the port's colon follows its ']'.
    std::size_t hostEnd = authority.find(':');
    if (authority.starts_with('[')) {
        hostEnd = authority.find(']');
        if (hostEnd == std::string_view::npos) return "";
        ++hostEnd;
    }
    std::string_view host = authority.substr(0, hostEnd);
    std::string_view afterHost = hostEnd < authority.size() ? authority.substr(hostEnd) : "";
    if (!afterHost.empty() && !afterHost.starts_with(':')) return "";
    const long port = PortOf(afterHost.empty() ? afterHost : afterHost.substr(1));
    if (!IsHost(host) || port == -2) return "";
    std::string site = scheme + "://" + AsciiLower(host);
    const long defaultPort = scheme == "http" ? 80 : 443;
    if (port >= 0 && port != defaultPort) site += ":" + std::to_string(port);
    return site;
}

}  // namespace autolabel::app
