// A plain element tree parsed from HTML text, for the in-memory DOM.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace autolabel::browser_host::scripted {

struct HtmlElement {
    std::string tag;  // lower case
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<std::unique_ptr<HtmlElement>> children;
    HtmlElement* parent = nullptr;
    // The text the element holds, kept beside the element children (libxml2's
    // text nodes are not elements): `text` before the first child, each
    // child's `tail` after that child. Comments are dropped.
    std::string text;
    std::string tail;

    // The attribute's value, or null when it is absent. Names are lower case.
    const std::string* Attribute(std::string_view name) const;
    // Descendants in page order (pre-order), this element excluded.
    void CollectDescendants(std::vector<HtmlElement*>& out);
    // The nearest enclosing element with this tag, or null.
    HtmlElement* Ancestor(std::string_view tag) const;
    // Whether this is the element or one of its ancestors.
    bool IsInclusiveAncestorOf(const HtmlElement& element) const;
};

// Parses with libxml2's HTML parser, which mends markup as browsers do
// (implied html/body, unclosed elements). Returns the root element (html),
// or null when the text holds no markup at all.
std::unique_ptr<HtmlElement> ParseHtml(std::string_view html);

}  // namespace autolabel::browser_host::scripted
