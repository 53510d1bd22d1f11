#include "page/browser_host/dom_ref.h"

#include <vector>

#include "page/browser_host/ascii_case.h"
#include "page/browser_host/dom_object.h"

namespace autolabel::browser_host {

DomRef::DomRef(const DomRef& other) noexcept : object_(other.object_) {
    if (object_) object_->AddRef();
}

DomRef::DomRef(DomRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }

DomRef& DomRef::operator=(const DomRef& other) noexcept {
    if (other.object_) other.object_->AddRef();
    DomObject* old = object_;
    object_ = other.object_;
    if (old) old->Release();
    return *this;
}

DomRef& DomRef::operator=(DomRef&& other) noexcept {
    if (this != &other) {
        DomObject* old = object_;
        object_ = other.object_;
        other.object_ = nullptr;
        if (old) old->Release();
    }
    return *this;
}

DomRef::~DomRef() { Reset(); }

DomRef DomRef::Adopt(DomObject* object) noexcept {
    DomRef ref;
    ref.object_ = object;
    return ref;
}

DomRef DomRef::Share(DomObject* object) noexcept {
    if (object) object->AddRef();
    return Adopt(object);
}

void DomRef::Reset() noexcept {
    // Clear first: a Release that re-enters must not see the old pointer.
    DomObject* old = object_;
    object_ = nullptr;
    if (old) old->Release();
}

Value DomRef::Read(std::string_view member) const {
    Value result;
    if (object_ && !object_->ReadMember(member, result)) result = Value();
    return result;
}

bool DomRef::Write(std::string_view member, const Value& value) const {
    return object_ && object_->WriteMember(member, value);
}

Value DomRef::Call(std::string_view method, std::initializer_list<Value> arguments) const {
    Value result;
    TryCall(method, std::span<const Value>(arguments.begin(), arguments.size()), result);
    return result;
}

bool DomRef::TryCall(std::string_view method, std::span<const Value> arguments,
                     Value& result) const {
    result = Value();
    if (!object_) return false;
    if (object_->CallMethod(method, arguments, result)) return true;
    result = Value();
    return false;
}

}  // namespace autolabel::browser_host
