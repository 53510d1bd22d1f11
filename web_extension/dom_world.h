// The DOM work of the web process: handles of JavaScript objects of the
// current document, read and changed from a script world of our own, so that
// page scripts neither see this code nor change what it reads.
#pragma once

#include <jsc/jsc.h>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "page/browser_host/webkit/protocol.h"
#include "support/glib/gobject_ptr.h"

namespace autolabel::web_extension {

namespace protocol = browser_host::webkit::protocol;

class DomWorld {
  public:
    DomWorld() = default;
    DomWorld(const DomWorld&) = delete;
    DomWorld& operator=(const DomWorld&) = delete;

    // A new document got its window object: every earlier handle goes stale.
    void NewDocument(JSCContext* context);
    // Drops every handle (the tool went away).
    void Clear();

    bool Document(protocol::WireValue& out);
    bool Read(protocol::Handle handle, std::string_view name, protocol::WireValue& out);
    bool Write(protocol::Handle handle, std::string_view name, const protocol::WireValue& value);
    bool Call(protocol::Handle handle, std::string_view name,
              std::span<const protocol::WireValue> arguments, protocol::WireValue& out);
    void Release(protocol::Handle handle);
    // The page automation object's element lookup, walked here in one go.
    // False when the document is not the current one; a walk this side
    // cannot make exactly is answered as not walked.
    bool FindElement(protocol::Handle document, const protocol::ElementQuery& query,
                     protocol::ElementAnswer& answer);

    std::size_t LiveHandles() const { return live_; }

  private:
    struct Slot {
        support::glib::GObjectPtr<JSCValue> value;
        support::glib::GObjectPtr<JSCValue>
            root;  // set for an "all" collection: the element it covers
    };

    Slot* Lookup(protocol::Handle handle);
    bool NewHandle(support::glib::GObjectPtr<JSCValue> value,
                   support::glib::GObjectPtr<JSCValue> root, protocol::WireValue& out);
    bool Encode(JSCValue* value, protocol::WireValue& out);
    support::glib::GObjectPtr<JSCValue> Decode(
        const protocol::WireValue& value);  // null: stale handle
    // The property's real spelling: exact if present, else matched without case.
    bool ResolveName(JSCValue* object, std::string_view name, std::string& real);
    bool TakeException();
    void ScheduleClick(JSCValue* element);

    support::glib::GObjectPtr<JSCContext> context_;
    support::glib::GObjectPtr<JSCValue> resolve_;  // helpers compiled in our world, per document
    support::glib::GObjectPtr<JSCValue> fire_;
    support::glib::GObjectPtr<JSCValue> findElement_;
    std::uint32_t generation_ = 0;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
    std::size_t live_ = 0;
};

}  // namespace autolabel::web_extension
