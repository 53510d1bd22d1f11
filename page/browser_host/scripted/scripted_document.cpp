#include "page/browser_host/scripted/scripted_document.h"

#include <algorithm>
#include <array>

#include "page/browser_host/ascii_case.h"
#include "page/browser_host/dom_object.h"
#include "page/browser_host/value.h"

namespace autolabel::browser_host::scripted {

namespace {

// What the document model reports as `type`.
std::string ReportedType(const HtmlElement& element) {
    const std::string* attribute = element.Attribute("type");
    std::string type = attribute ? AsciiLower(*attribute) : std::string();
    if (element.tag == "input") {
        static constexpr std::array<std::string_view, 22> kInputTypes{
            "button", "checkbox", "color", "date",   "datetime-local", "email",
            "file",   "hidden",   "image", "month",  "number",         "password",
            "radio",  "range",    "reset", "search", "submit",         "tel",
            "text",   "time",     "url",   "week"};
        bool known = std::find(kInputTypes.begin(), kInputTypes.end(), type) != kInputTypes.end();
        return known ? type : "text";
    }
    if (element.tag == "button") {
        return type == "button" || type == "reset" ? type : "submit";
    }
    return type;
}

}  // namespace

// The common part of the document's objects: the shared document, the
// reference count, the connection and the call log.
class ScriptedObject : public DomObject {
  public:
    void AddRef() noexcept override {
        ++count_;
        ++document_->liveReferences_;
    }
    void Release() noexcept override {
        --document_->liveReferences_;
        if (--count_ == 0) delete this;
    }

    bool ReadMember(std::string_view name, Value& result) noexcept override {
        Log(name);
        return Connected(name) && Read(AsciiLower(name), result);
    }
    bool WriteMember(std::string_view name, const Value& value) noexcept override {
        Log(std::string(name) + "=" + value.ToText());
        return Connected(name) && Write(AsciiLower(name), value);
    }
    bool CallMethod(std::string_view name, std::span<const Value> arguments,
                    Value& result) noexcept override {
        if (document_->keepLog_) {
            std::string entry(name);
            entry += "(";
            for (std::size_t i = 0; i < arguments.size(); ++i) {
                if (i) entry += ",";
                entry += arguments[i].ToText();
            }
            Log(entry + ")");
        }
        return Connected(name) && Call(AsciiLower(name), arguments, result);
    }

  protected:
    explicit ScriptedObject(std::shared_ptr<ScriptedDocument> document)
        : document_(std::move(document)) {
        ++document_->liveReferences_;
    }

    virtual std::string Label() const = 0;
    virtual bool Read(const std::string&, Value&) { return false; }
    virtual bool Write(const std::string&, const Value&) { return false; }
    virtual bool Call(const std::string&, std::span<const Value>, Value&) { return false; }

    static Value Wrap(DomObject* object) { return Value::Object(DomRef::Adopt(object)); }

    std::shared_ptr<ScriptedDocument> document_;

  private:
    bool Connected(std::string_view member) {
        if (!document_->disconnectAt_.empty() && AsciiLower(member) == document_->disconnectAt_)
            document_->connected_ = false;
        return document_->connected_;
    }
    void Log(std::string_view member) {
        if (document_->keepLog_) document_->calls_.push_back(Label() + "." + std::string(member));
    }
    long count_ = 1;
};

class CollectionObject : public ScriptedObject {
  public:
    CollectionObject(std::shared_ptr<ScriptedDocument> document, std::string label,
                     std::vector<HtmlElement*> items)
        : ScriptedObject(std::move(document)), label_(std::move(label)), items_(std::move(items)) {}

  protected:
    std::string Label() const override { return label_; }
    bool Read(const std::string& name, Value& result) override;
    bool Call(const std::string& name, std::span<const Value> arguments, Value& result) override;

  private:
    std::string label_;
    std::vector<HtmlElement*> items_;  // a snapshot: the double's pages do not change under a walk
};

class ElementObject : public ScriptedObject {
  public:
    ElementObject(std::shared_ptr<ScriptedDocument> document, HtmlElement* element)
        : ScriptedObject(std::move(document)), element_(element) {}

  protected:
    std::string Label() const override { return document_->Label(element_); }

    bool Read(const std::string& name, Value& result) override {
        if (name == "all") {
            std::vector<HtmlElement*> all;
            element_->CollectDescendants(all);
            result = Wrap(new CollectionObject(document_, Label() + ".all", std::move(all)));
            return true;
        }
        if (name == "type") {
            result = Value::Text(ReportedType(*element_));
            return true;
        }
        if (name == "name" || name == "id" || name == "title" || name == "value") {
            const std::string* attribute = element_->Attribute(name);
            result = Value::Text(attribute ? *attribute : "");
            return true;
        }
        if (name == "tagname") {
            result = Value::Text(AsciiLower(element_->tag));
            return true;
        }
        if (name == "checked") {
            result = Value::Boolean(document_->Checked(element_));
            return true;
        }
        if (name.starts_with("on")) {
            // An inline handler reads as its source text; none reads as empty.
            const std::string* handler = element_->Attribute(name);
            result = handler ? Value::Text(*handler) : Value();
            return true;
        }
        return false;
    }

    bool Write(const std::string& name, const Value& value) override {
        if (name != "checked") return false;
        // A text converts as a variant would: "checked" (or any word but
        // "false"/"0") is true.
        bool on = value.ToBoolean();
        if (value.kind() == Value::Kind::Text) {
            std::string text = AsciiLower(value.ToText());
            on = !text.empty() && text != "false" && text != "0";
        }
        document_->SetChecked(element_, on);
        return true;
    }

    bool Call(const std::string& name, std::span<const Value> arguments, Value& result) override {
        if (name == "fireevent") {
            if (arguments.empty()) return false;
            std::string event = AsciiLower(arguments[0].ToText());
            document_->firedEvents_.push_back(Label() + ":" + event);
            result = Value::Boolean(event.starts_with("on") && event.size() > 2);
            return true;
        }
        if (name == "click") {
            Click();
            return true;
        }
        return false;
    }

  private:
    void Click() {
        document_->clicks_.push_back(Label());
        std::string type = ReportedType(*element_);
        if (element_->tag == "input" && (type == "radio" || type == "checkbox"))
            document_->SetChecked(element_, type == "radio" || !document_->Checked(element_));
        bool submits = (element_->tag == "button" || element_->tag == "input") &&
                       (type == "submit" || type == "image");
        if (submits && element_->Ancestor("form")) ++document_->submittedForms_;
        const std::string* id = element_->Attribute("id");
        if (id) {
            auto action = document_->clickActions_.find(*id);
            // Copy: the action may replace itself or end the document's life.
            if (action != document_->clickActions_.end()) {
                std::function<void()> run = action->second;
                std::shared_ptr<ScriptedDocument> keep = document_;
                run();
            }
        }
    }

    HtmlElement* element_;
};

bool CollectionObject::Read(const std::string& name, Value& result) {
    if (name != "length") return false;
    result = Value::Int32(static_cast<std::int32_t>(items_.size()));
    return true;
}

bool CollectionObject::Call(const std::string& name, std::span<const Value> arguments,
                            Value& result) {
    if (name == "item") {
        if (arguments.empty()) return false;
        const Value& index = arguments[0];
        if (index.kind() != Value::Kind::Double && index.kind() != Value::Kind::Int32)
            return false;  // a text would name an item, which the tool never does
        double position = index.ToNumber();
        if (position < 0 || position >= static_cast<double>(items_.size())) {
            result = Value();  // out of range: null, as the document model gives
            return true;
        }
        result = Wrap(new ElementObject(document_, items_[static_cast<std::size_t>(position)]));
        return true;
    }
    if (name == "tags") {
        if (arguments.empty()) return false;
        std::string tag = AsciiLower(arguments[0].ToText());
        std::vector<HtmlElement*> matching;
        for (HtmlElement* element : items_) {
            if (element->tag == tag) matching.push_back(element);
        }
        result = Wrap(new CollectionObject(document_, tag + "s", std::move(matching)));
        return true;
    }
    return false;
}

class DocumentObject : public ScriptedObject {
  public:
    explicit DocumentObject(std::shared_ptr<ScriptedDocument> document)
        : ScriptedObject(std::move(document)) {}

  protected:
    std::string Label() const override { return "document"; }
    bool Read(const std::string& name, Value& result) override {
        if (name != "body") return false;
        HtmlElement* root = document_->root_.get();
        HtmlElement* body = nullptr;
        if (root) {
            for (auto& child : root->children) {
                if (child->tag == "body") body = child.get();
            }
        }
        result = body ? Wrap(new ElementObject(document_, body)) : Value();
        return true;
    }
};

std::shared_ptr<ScriptedDocument> ScriptedDocument::FromHtml(std::string_view html) {
    std::shared_ptr<ScriptedDocument> document(new ScriptedDocument());
    document->root_ = ParseHtml(html);
    if (document->root_) {
        std::vector<HtmlElement*> all;
        document->root_->CollectDescendants(all);
        for (HtmlElement* element : all) {
            if (element->Attribute("checked")) document->checked_[element] = true;
        }
    }
    return document;
}

DomRef ScriptedDocument::NewReference() {
    return DomRef::Adopt(new DocumentObject(shared_from_this()));
}

int ScriptedDocument::CountCalls(std::string_view prefix) const {
    return static_cast<int>(std::count_if(
        calls_.begin(), calls_.end(), [&](const std::string& c) { return c.starts_with(prefix); }));
}

HtmlElement* ScriptedDocument::FindById(std::string_view id) const {
    if (!root_) return nullptr;
    std::vector<HtmlElement*> all;
    root_->CollectDescendants(all);
    for (HtmlElement* element : all) {
        const std::string* value = element->Attribute("id");
        if (value && *value == id) return element;
    }
    return nullptr;
}

bool ScriptedDocument::IsChecked(std::string_view id) const {
    const HtmlElement* element = FindById(id);
    return element && Checked(element);
}

std::vector<HtmlElement*> ScriptedDocument::RadioButtons() const {
    std::vector<HtmlElement*> all, radios;
    if (root_) root_->CollectDescendants(all);
    for (HtmlElement* element : all) {
        if (element->tag == "input" && ReportedType(*element) == "radio") radios.push_back(element);
    }
    return radios;
}

std::vector<int> ScriptedDocument::CheckedRadioNumbers() const {
    std::vector<int> numbers;
    std::vector<HtmlElement*> radios = RadioButtons();
    for (std::size_t i = 0; i < radios.size(); ++i) {
        if (Checked(radios[i])) numbers.push_back(static_cast<int>(i) + 1);
    }
    return numbers;
}

void ScriptedDocument::DisconnectAt(std::string_view member) { disconnectAt_ = AsciiLower(member); }

void ScriptedDocument::OnClick(std::string_view id, std::function<void()> action) {
    clickActions_[std::string(id)] = std::move(action);
}

std::string ScriptedDocument::Label(const HtmlElement* element) const {
    const std::string* id = element->Attribute("id");
    if (id && !id->empty()) return element->tag + "#" + *id;
    return element->tag;
}

bool ScriptedDocument::Checked(const HtmlElement* element) const {
    auto it = checked_.find(element);
    return it != checked_.end() && it->second;
}

void ScriptedDocument::SetChecked(HtmlElement* element, bool checked) {
    checked_[element] = checked;
    if (!checked || element->tag != "input" || ReportedType(*element) != "radio") return;
    // One ticked radio button per group: the same name within the same form.
    const std::string* name = element->Attribute("name");
    if (!name || name->empty()) return;
    const HtmlElement* form = element->Ancestor("form");
    for (HtmlElement* other : RadioButtons()) {
        const std::string* otherName = other->Attribute("name");
        if (other != element && otherName && *otherName == *name && other->Ancestor("form") == form)
            checked_[other] = false;
    }
}

}  // namespace autolabel::browser_host::scripted
