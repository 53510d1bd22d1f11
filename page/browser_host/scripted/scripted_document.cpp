#include "page/browser_host/scripted/scripted_document.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

// Whether the element is left out of the layout by itself: a `hidden`
// attribute, display:none in its style, a hidden input, or an element that
// is never drawn.
bool HidesItself(const HtmlElement& element) {
    static constexpr std::array<std::string_view, 7> kNeverDrawn{
        "head", "script", "style", "title", "meta", "link", "template"};
    if (std::find(kNeverDrawn.begin(), kNeverDrawn.end(), element.tag) != kNeverDrawn.end())
        return true;
    if (element.Attribute("hidden")) return true;
    if (element.tag == "input" && ReportedType(element) == "hidden") return true;
    const std::string* style = element.Attribute("style");
    if (!style) return false;
    std::string compact;
    for (char c : AsciiLower(*style)) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact += c;
    }
    return compact.find("display:none") != std::string::npos;
}

// Whether the element has a box: neither it nor an ancestor hides itself.
bool IsRendered(const HtmlElement& element) {
    for (const HtmlElement* up = &element; up; up = up->parent) {
        if (HidesItself(*up)) return false;
    }
    return true;
}

// textContent: the text of every descendant, in page order.
void AppendTextContent(const HtmlElement& element, std::string& out) {
    out += element.text;
    for (const auto& child : element.children) {
        AppendTextContent(*child, out);
        out += child->tail;
    }
}

// innerText of a rendered element: the text of what is drawn.
void AppendRenderedText(const HtmlElement& element, std::string& out) {
    out += element.text;
    for (const auto& child : element.children) {
        if (!HidesItself(*child)) AppendRenderedText(*child, out);
        out += child->tail;
    }
}

// The size an element with a box reports; what it is does not matter, only
// that it is not 0.
constexpr std::int32_t kRenderedWidth = 120;
constexpr std::int32_t kRenderedHeight = 20;

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
        return Connected(name) && Offered(name) && Read(AsciiLower(name), result);
    }
    bool WriteMember(std::string_view name, const Value& value) noexcept override {
        Log(std::string(name) + "=" + value.ToText());
        return Connected(name) && Offered(name) && Write(AsciiLower(name), value);
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
        return Connected(name) && Offered(name) && Call(AsciiLower(name), arguments, result);
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
    bool Offered(std::string_view member) const {
        return !document_->withheld_.contains(AsciiLower(member));
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

// getElementsByTagName on a document (the root element included) or an element.
Value ElementsByTagName(std::shared_ptr<ScriptedDocument> document, HtmlElement* root,
                        bool withRoot, std::span<const Value> arguments) {
    if (arguments.empty()) return Value();
    std::string tag = AsciiLower(arguments[0].ToText());
    std::vector<HtmlElement*> all, matching;
    if (withRoot) all.push_back(root);
    root->CollectDescendants(all);
    for (HtmlElement* element : all) {
        if (tag == "*" || element->tag == tag) matching.push_back(element);
    }
    std::string label = tag == "*" ? "elements" : tag + "s";
    return Value::Object(DomRef::Adopt(
        new CollectionObject(std::move(document), std::move(label), std::move(matching))));
}

// A frame's window, as far as a page's script reaches into it: its document,
// which another site's page withholds.
class WindowObject : public ScriptedObject {
  public:
    WindowObject(std::shared_ptr<ScriptedDocument> document, std::string label,
                 std::shared_ptr<ScriptedDocument> shown)
        : ScriptedObject(std::move(document)), label_(std::move(label)), shown_(std::move(shown)) {}

  protected:
    std::string Label() const override { return label_; }
    bool Read(const std::string& name, Value& result) override {
        if (name != "document" || !shown_) return false;
        result = Value::Object(shown_->NewReference());
        return true;
    }

  private:
    std::string label_;
    std::shared_ptr<ScriptedDocument> shown_;
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
        if (name == "parentelement") {
            HtmlElement* parent = element_->parent;
            result = parent ? Wrap(new ElementObject(document_, parent)) : Value();
            return true;
        }
        if (name == "textcontent" || name == "innertext") {
            std::string text;
            // A browser gives an element without a box its textContent as innerText.
            if (name == "innertext" && IsRendered(*element_)) {
                AppendRenderedText(*element_, text);
            } else {
                AppendTextContent(*element_, text);
            }
            result = Value::Text(std::move(text));
            return true;
        }
        if (name == "offsetwidth" || name == "offsetheight") {
            std::int32_t size = name == "offsetwidth" ? kRenderedWidth : kRenderedHeight;
            result = Value::Int32(IsRendered(*element_) ? size : 0);
            return true;
        }
        if (name == "contentwindow" && (element_->tag == "iframe" || element_->tag == "frame")) {
            auto frame = document_->frames_.find(element_);
            std::shared_ptr<ScriptedDocument> shown =
                frame != document_->frames_.end() ? frame->second : nullptr;
            result = Wrap(new WindowObject(document_, Label() + ".contentWindow", shown));
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
        if (name == "contains") {
            if (arguments.empty()) return false;
            DomRef other = arguments[0].ToObject();
            auto* element = dynamic_cast<ElementObject*>(other.Get());
            result = Value::Boolean(element && element->document_ == document_ &&
                                    element_->IsInclusiveAncestorOf(*element->element_));
            return true;
        }
        if (name == "getelementsbytagname") {
            result = ElementsByTagName(document_, element_, false, arguments);
            return !result.IsEmpty();
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
        if (name == "url") {
            result = Value::Text(document_->url_);
            return true;
        }
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
    bool Call(const std::string& name, std::span<const Value> arguments, Value& result) override {
        if (name != "getelementsbytagname" || !document_->root_) return false;
        result = ElementsByTagName(document_, document_->root_.get(), true, arguments);
        return !result.IsEmpty();
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

void ScriptedDocument::SetFrameDocument(std::string_view frameId,
                                        std::shared_ptr<ScriptedDocument> document) {
    if (const HtmlElement* frame = FindById(frameId)) frames_[frame] = std::move(document);
}

void ScriptedDocument::Withhold(std::string_view member) { withheld_.insert(AsciiLower(member)); }

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
