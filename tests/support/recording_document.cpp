#include "tests/support/recording_document.h"

#include "page/browser_host/dom_object.h"

namespace autolabel::tests {

using namespace browser_host;

namespace {

// One class for every object of the walk; `role` says which one it is.
class RecordingObject : public RefCountedDomObject {
  public:
    enum class Role { Document, Body, All, Collection, Element };

    RecordingObject(std::shared_ptr<RecordingDocument> document, Role role, std::string tag = {},
                    std::size_t index = 0)
        : document_(std::move(document)), role_(role), tag_(std::move(tag)), index_(index) {}

    bool ReadMember(std::string_view name, Value& result) noexcept override {
        switch (role_) {
            case Role::Document:
                return Child(name, "body", Role::Body, result);
            case Role::Body:
                return Child(name, "all", Role::All, result);
            case Role::Collection:
                if (!SameMemberName(name, "length")) return false;
                ++document_->lengthReads;
                result = Value::Int32(static_cast<std::int32_t>(Members().size()));
                return true;
            case Role::Element:
                return ReadElement(name, result);
            default:
                return false;
        }
    }

    bool WriteMember(std::string_view name, const Value& value) noexcept override {
        if (role_ != Role::Element || !SameMemberName(name, "checked")) return false;
        document_->elements[index_].checked = value.ToBoolean();
        return true;
    }

    bool CallMethod(std::string_view name, std::span<const Value> arguments,
                    Value& result) noexcept override {
        if (arguments.size() != 1) return false;
        if (role_ == Role::All && SameMemberName(name, "tags")) {
            result = Wrap(Role::Collection, arguments[0].ToText());
            return true;
        }
        if (role_ == Role::Collection && SameMemberName(name, "item")) {
            document_->itemArgumentKinds.push_back(arguments[0].kind());
            std::vector<std::size_t> members = Members();
            auto position = static_cast<std::size_t>(arguments[0].ToNumber());
            if (position < members.size()) result = Wrap(Role::Element, tag_, members[position]);
            return true;
        }
        return false;
    }

  private:
    Value Wrap(Role role, std::string tag = {}, std::size_t index = 0) const {
        return Value::Object(DomRef::Adopt(new RecordingObject(document_, role, tag, index)));
    }
    bool Child(std::string_view name, const char* member, Role role, Value& result) const {
        if (!SameMemberName(name, member)) return false;
        result = Wrap(role);
        return true;
    }
    // Indices of the document's elements with this collection's tag, in page order.
    std::vector<std::size_t> Members() const {
        std::vector<std::size_t> members;
        for (std::size_t i = 0; i < document_->elements.size(); ++i)
            if (document_->elements[i].tag == tag_) members.push_back(i);
        return members;
    }
    bool ReadElement(std::string_view name, Value& result) const {
        const RecordedElement& element = document_->elements[index_];
        if (SameMemberName(name, "type")) {
            result = Value::Text(element.type);
        } else if (SameMemberName(name, "id")) {
            result = Value::Text(element.id);
        } else if (SameMemberName(name, "name") || SameMemberName(name, "title")) {
            result = Value::Text("");
        } else if (SameMemberName(name, "checked")) {
            result = Value::Boolean(element.checked);
        } else {
            return false;
        }
        return true;
    }

    std::shared_ptr<RecordingDocument> document_;
    Role role_;
    std::string tag_;
    std::size_t index_;
};

}  // namespace

DomRef RecordingDocument::NewReference(const std::shared_ptr<RecordingDocument>& document) {
    return DomRef::Adopt(new RecordingObject(document, RecordingObject::Role::Document));
}

const RecordedElement* RecordingDocument::Find(std::string_view id) const {
    for (const RecordedElement& element : elements)
        if (element.id == id) return &element;
    return nullptr;
}

}  // namespace autolabel::tests
