// A document of the tests' own for what the in-memory double cannot tell
// apart: it records the kind of every position given to `item`, and keeps
// `checked` as the core's value conversion reads the written value, as a
// host that turns a text into a boolean does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/value.h"

namespace autolabel::tests {

// An element with neither name nor title.
struct RecordedElement {
    RecordedElement(std::string tag, std::string type, std::string id = {})
        : tag(std::move(tag)), type(std::move(type)), id(std::move(id)) {}
    std::string tag;  // "input" or "button"
    std::string type;
    std::string id;
    bool checked = false;
};

class RecordingDocument {
  public:
    explicit RecordingDocument(std::vector<RecordedElement> elements)
        : elements(std::move(elements)) {}

    // document -> body -> all -> tags(tag) -> item(i), as the page's walk goes.
    static browser_host::DomRef NewReference(const std::shared_ptr<RecordingDocument>& document);

    const RecordedElement* Find(std::string_view id) const;

    std::vector<RecordedElement> elements;
    std::vector<browser_host::Value::Kind> itemArgumentKinds;
    int lengthReads = 0;
};

}  // namespace autolabel::tests
