#include "page/browser_host/webkit/extension/dom_world.h"

#include <glib.h>

#include <cmath>
#include <limits>
#include <string>

#include "page/browser_host/ascii_case.h"

namespace autolabel::browser_host::webkit {

using protocol::Handle;
using protocol::WireValue;

namespace {

constexpr std::size_t kMaxHandles = 1 << 20;

// Compiled once per document in our own world. `resolve` maps a lower-case
// member name to its real spelling along the prototype chain (cached per
// prototype); `fire` dispatches the event an "on..." property stands for.
constexpr const char* kHelpers = R"JS((() => {
  const names = new WeakMap();
  const resolve = (object, lower) => {
    for (let o = object; o !== null && o !== undefined; o = Object.getPrototypeOf(o)) {
      let map = names.get(o);
      if (map === undefined) {
        map = new Map();
        for (const key of Object.getOwnPropertyNames(o)) {
          const l = key.toLowerCase();
          if (!map.has(l)) map.set(l, key);
        }
        names.set(o, map);
      }
      const key = map.get(lower);
      if (key !== undefined) return key;
    }
    return null;
  };
  const mouse = /^(mouse|click$|dblclick$|contextmenu$)/;
  const fire = (element, name) => {
    let type = String(name).toLowerCase();
    if (type.startsWith("on")) type = type.slice(2);
    if (type === "" || typeof element.dispatchEvent !== "function") return false;
    const init = {bubbles: true, cancelable: true};
    const event = mouse.test(type) ? new MouseEvent(type, {...init, view: window})
                                   : new Event(type, init);
    return element.dispatchEvent(event);
  };
  return [resolve, fire];
})())JS";

bool HasFunction(JSCValue* object, const char* name) {
    if (!jsc_value_object_has_property(object, name)) return false;
    GObjectPtr<JSCValue> member = Adopt(jsc_value_object_get_property(object, name));
    return jsc_value_is_function(member.get());
}

struct PendingClick {
    GObjectPtr<JSCValue> element;
    std::uint32_t generation;
    DomWorld* world;
};

}  // namespace

void DomWorld::NewDocument(JSCContext* context) {
    Clear();
    ++generation_;
    context_ = Share(context);
    GObjectPtr<JSCValue> pair = Adopt(jsc_context_evaluate(context, kHelpers, -1));
    if (TakeException() || !jsc_value_is_array(pair.get())) return;
    resolve_ = Adopt(jsc_value_object_get_property_at_index(pair.get(), 0));
    fire_ = Adopt(jsc_value_object_get_property_at_index(pair.get(), 1));
}

void DomWorld::Clear() {
    slots_.clear();
    free_.clear();
    live_ = 0;
    resolve_.reset();
    fire_.reset();
    context_.reset();
}

bool DomWorld::TakeException() {
    if (!context_) return true;
    JSCException* exception = jsc_context_get_exception(context_.get());
    if (!exception) return false;
    jsc_context_clear_exception(context_.get());
    return true;
}

DomWorld::Slot* DomWorld::Lookup(Handle handle) {
    if (static_cast<std::uint32_t>(handle >> 32) != generation_ || !context_) return nullptr;
    const std::uint32_t index = static_cast<std::uint32_t>(handle) - 1;
    if (index >= slots_.size() || !slots_[index].value) return nullptr;
    return &slots_[index];
}

bool DomWorld::NewHandle(GObjectPtr<JSCValue> value, GObjectPtr<JSCValue> root, WireValue& out) {
    std::uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        if (slots_.size() >= kMaxHandles) return false;
        index = static_cast<std::uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    slots_[index] = Slot{std::move(value), std::move(root)};
    ++live_;
    out = WireValue::Object((static_cast<Handle>(generation_) << 32) | (index + 1));
    return true;
}

void DomWorld::Release(Handle handle) {
    Slot* slot = Lookup(handle);
    if (!slot) return;  // stale or unknown: nothing of ours to drop
    *slot = Slot{};
    free_.push_back(static_cast<std::uint32_t>(handle) - 1);
    --live_;
}

bool DomWorld::Encode(JSCValue* value, WireValue& out) {
    out = WireValue{};
    if (jsc_value_is_undefined(value) || jsc_value_is_null(value)) return true;
    if (jsc_value_is_boolean(value)) {
        out.kind = WireValue::Kind::Boolean;
        out.boolean = jsc_value_to_boolean(value);
        return true;
    }
    if (jsc_value_is_number(value)) {
        const double d = jsc_value_to_double(value);
        if (d == std::trunc(d) && d >= std::numeric_limits<std::int32_t>::min() &&
            d <= std::numeric_limits<std::int32_t>::max()) {
            out.kind = WireValue::Kind::Int32;
            out.int32 = static_cast<std::int32_t>(d);
        } else {
            out.kind = WireValue::Kind::Double;
            out.number = d;
        }
        return true;
    }
    if (jsc_value_is_string(value)) {
        g_autoptr(GBytes) bytes = jsc_value_to_string_as_bytes(value);
        gsize size = 0;
        const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
        if (size > protocol::kMaxPayload - 64) return false;
        out = WireValue::Text(std::string(data ? data : "", size));
        return true;
    }
    if (jsc_value_is_object(value)) return NewHandle(Share(value), nullptr, out);
    return false;
}

GObjectPtr<JSCValue> DomWorld::Decode(const WireValue& value) {
    JSCContext* c = context_.get();
    switch (value.kind) {
        case WireValue::Kind::Empty:
            return Adopt(jsc_value_new_undefined(c));
        case WireValue::Kind::Boolean:
            return Adopt(jsc_value_new_boolean(c, value.boolean));
        case WireValue::Kind::Int32:
            return Adopt(jsc_value_new_number(c, value.int32));
        case WireValue::Kind::Double:
            return Adopt(jsc_value_new_number(c, value.number));
        case WireValue::Kind::Text: {
            g_autoptr(GBytes) bytes = g_bytes_new(value.text.data(), value.text.size());
            return Adopt(jsc_value_new_string_from_bytes(c, bytes));
        }
        case WireValue::Kind::Object: {
            Slot* slot = Lookup(value.handle);
            return slot ? Share(slot->value.get()) : nullptr;
        }
    }
    return nullptr;
}

bool DomWorld::ResolveName(JSCValue* object, std::string_view name, std::string& real) {
    real.assign(name);
    if (jsc_value_object_has_property(object, real.c_str())) return true;
    if (!resolve_) return false;
    GObjectPtr<JSCValue> lower =
        Adopt(jsc_value_new_string(context_.get(), AsciiLower(name).c_str()));
    JSCValue* arguments[] = {object, lower.get()};
    GObjectPtr<JSCValue> found = Adopt(jsc_value_function_callv(resolve_.get(), 2, arguments));
    if (TakeException() || !jsc_value_is_string(found.get())) return false;
    g_autofree char* text = jsc_value_to_string(found.get());
    real = text;
    return true;
}

bool DomWorld::Document(WireValue& out) {
    if (!context_) return false;
    GObjectPtr<JSCValue> document = Adopt(jsc_context_evaluate(context_.get(), "document", -1));
    if (TakeException() || !jsc_value_is_object(document.get())) return false;
    return NewHandle(std::move(document), nullptr, out);
}

bool DomWorld::Read(Handle handle, std::string_view name, WireValue& out) {
    Slot* slot = Lookup(handle);
    if (!slot) return false;
    JSCValue* object = slot->value.get();
    const std::string lower = AsciiLower(name);
    // WebKit has no element.all; every element's descendants in page order
    // are its getElementsByTagName("*"), and "tags" narrows that collection.
    if (lower == "all" && HasFunction(object, "getElementsByTagName")) {
        GObjectPtr<JSCValue> all = Adopt(jsc_value_object_invoke_method(
            object, "getElementsByTagName", G_TYPE_STRING, "*", G_TYPE_NONE));
        if (TakeException() || !jsc_value_is_object(all.get())) return false;
        return NewHandle(std::move(all), Share(object), out);
    }
    // Most reads name a member as it is spelled: try that first, and look for
    // another spelling only when it gives nothing.
    std::string real(name);
    GObjectPtr<JSCValue> value = Adopt(jsc_value_object_get_property(object, real.c_str()));
    if (TakeException()) return false;
    if (jsc_value_is_undefined(value.get())) {
        if (!ResolveName(object, name, real)) return false;
        value = Adopt(jsc_value_object_get_property(object, real.c_str()));
        if (TakeException()) return false;
    }
    return Encode(value.get(), out);
}

bool DomWorld::Write(Handle handle, std::string_view name, const WireValue& value) {
    Slot* slot = Lookup(handle);
    if (!slot) return false;
    std::string real;
    if (!ResolveName(slot->value.get(), name, real)) real.assign(name);
    GObjectPtr<JSCValue> converted = Decode(value);
    if (!converted) return false;
    // A boolean property such as `checked` takes the truth of what is written:
    // the text "checked" ticks a radio button.
    jsc_value_object_set_property(slot->value.get(), real.c_str(), converted.get());
    return !TakeException();
}

bool DomWorld::Call(Handle handle, std::string_view name, std::span<const WireValue> arguments,
                    WireValue& out) {
    Slot* slot = Lookup(handle);
    if (!slot) return false;
    JSCValue* object = slot->value.get();
    const std::string lower = AsciiLower(name);
    out = WireValue{};

    if (lower == "tags") {
        JSCValue* root = slot->root ? slot->root.get() : object;
        if (arguments.size() != 1 || arguments[0].kind != WireValue::Kind::Text ||
            !HasFunction(root, "getElementsByTagName"))
            return false;
        GObjectPtr<JSCValue> tag = Decode(arguments[0]);
        JSCValue* parameters[] = {tag.get()};
        GObjectPtr<JSCValue> found =
            Adopt(jsc_value_object_invoke_methodv(root, "getElementsByTagName", 1, parameters));
        if (TakeException()) return false;
        return Encode(found.get(), out);
    }
    if (lower == "fireevent") {
        if (arguments.empty() || !fire_) return false;
        GObjectPtr<JSCValue> eventName = Decode(arguments[0]);
        if (!eventName) return false;
        JSCValue* parameters[] = {object, eventName.get()};
        GObjectPtr<JSCValue> fired = Adopt(jsc_value_function_callv(fire_.get(), 2, parameters));
        if (TakeException()) return false;
        return Encode(fired.get(), out);
    }
    if (lower == "click" && arguments.empty()) {
        // The page's click handlers may open a dialog, which waits for the
        // tool's window; click from our main loop once this reply is sent.
        if (!HasFunction(object, "click")) return false;
        ScheduleClick(object);
        return true;
    }

    std::vector<GObjectPtr<JSCValue>> converted;
    std::vector<JSCValue*> parameters;
    for (const WireValue& argument : arguments) {
        converted.push_back(Decode(argument));
        if (!converted.back()) return false;
        parameters.push_back(converted.back().get());
    }
    const auto invoke = [&](const std::string& method) {
        return Adopt(jsc_value_object_invoke_methodv(
            object, method.c_str(), static_cast<guint>(parameters.size()), parameters.data()));
    };
    // Call the name as spelled; only when there is no such member, look for
    // another spelling (a method that threw is not called again).
    std::string real(name);
    GObjectPtr<JSCValue> result = invoke(real);
    if (TakeException()) {
        if (jsc_value_object_has_property(object, real.c_str())) return false;
        if (!ResolveName(object, name, real) || real == name) return false;
        result = invoke(real);
        if (TakeException()) return false;
    }
    return Encode(result.get(), out);
}

void DomWorld::ScheduleClick(JSCValue* element) {
    auto* pending = new PendingClick{Share(element), generation_, this};
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto* p = static_cast<PendingClick*>(data);
            // A click meant for a document that is gone is dropped.
            if (p->generation == p->world->generation_ && p->world->context_) {
                GObjectPtr<JSCValue> ignored =
                    Adopt(jsc_value_object_invoke_method(p->element.get(), "click", G_TYPE_NONE));
                p->world->TakeException();
            }
            return G_SOURCE_REMOVE;
        },
        pending, [](gpointer data) { delete static_cast<PendingClick*>(data); });
}

}  // namespace autolabel::browser_host::webkit
