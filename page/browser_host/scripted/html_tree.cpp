#include "page/browser_host/scripted/html_tree.h"

#include <libxml/HTMLparser.h>

#include <algorithm>

#include "page/browser_host/ascii_case.h"

namespace autolabel::browser_host::scripted {

namespace {

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

std::string Lower(const xmlChar* text) {
    return text ? AsciiLower(reinterpret_cast<const char*>(text)) : std::string();
}

std::unique_ptr<HtmlElement> Convert(xmlNode* node, HtmlElement* parent) {
    auto element = std::make_unique<HtmlElement>();
    element->tag = Lower(node->name);
    element->parent = parent;
    for (xmlAttr* attr = node->properties; attr; attr = attr->next) {
        xmlChar* value = xmlNodeListGetString(node->doc, attr->children, 1);
        element->attributes.emplace_back(Lower(attr->name),
                                         value ? reinterpret_cast<const char*>(value) : "");
        xmlFree(value);
    }
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) {
            element->children.push_back(Convert(child, element.get()));
        } else if ((child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) &&
                   child->content) {
            // A script's or a style's text comes as CDATA from the HTML parser.
            std::string& run =
                element->children.empty() ? element->text : element->children.back()->tail;
            run += reinterpret_cast<const char*>(child->content);
        }
    }
    return element;
}

}  // namespace

const std::string* HtmlElement::Attribute(std::string_view name) const {
    for (const auto& [key, value] : attributes) {
        if (key == name) return &value;
    }
    return nullptr;
}

void HtmlElement::CollectDescendants(std::vector<HtmlElement*>& out) {
    for (auto& child : children) {
        out.push_back(child.get());
        child->CollectDescendants(out);
    }
}

HtmlElement* HtmlElement::Ancestor(std::string_view wanted) const {
    for (HtmlElement* up = parent; up; up = up->parent) {
        if (up->tag == wanted) return up;
    }
    return nullptr;
}

bool HtmlElement::IsInclusiveAncestorOf(const HtmlElement& element) const {
    for (const HtmlElement* up = &element; up; up = up->parent) {
        if (up == this) return true;
    }
    return false;
}

std::unique_ptr<HtmlElement> ParseHtml(std::string_view html) {
    const int options =
        HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
    std::unique_ptr<xmlDoc, XmlDocFree> doc(htmlReadMemory(
        html.data(), static_cast<int>(html.size()), "about:blank", "UTF-8", options));
    if (!doc) return nullptr;
    xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root) return nullptr;
    return Convert(root, nullptr);
}

}  // namespace autolabel::browser_host::scripted
