// Finding an input or button element by type list and by name, id, title or position.
#include "page/browser_host/value.h"
#include "page/collection_item.h"
#include "page/page_automation.h"

namespace autolabel::automation {

using browser_host::DomRef;

using browser_host::Value;

namespace {

// document.body.all.tags(tag); the body and all objects go as soon as the
// next one is in hand. A page in the newest document mode has no `all`:
// there the body's getElementsByTagName(tag) gives the same elements in the
// same page order.
DomRef TagsOfBody(const DomRef& document, const char* tag) {
    DomRef body = document.Read("body").ToObject();
    DomRef all = body.Read("all").ToObject();
    if (!all) return body.Call("getElementsByTagName", {Value::Text(tag)}).ToObject();
    body.Reset();
    return all.Call("tags", {Value::Text(tag)}).ToObject();
}

// The identifier's hit on one of name, id, title, read lazily in that order.
bool IsHit(const DomRef& element, std::string_view identifier) {
    for (const char* member : {"name", "id", "title"}) {
        if (element.Read(member).ToText() == identifier) return true;
    }
    return false;
}

bool InTypeList(std::string_view typeList, const std::string& type) {
    // An empty type only comes from a failed read: not a candidate.
    return !type.empty() && typeList.find(type) != std::string_view::npos;
}

}  // namespace

DomRef PageAutomation::FindElement(std::string_view typeList, std::string_view identifier,
                                   std::int32_t skipCount, std::int32_t& ordinal) {
    const std::int32_t position =
        browser_host::TruncateToInt32(browser_host::ReadDecimal(identifier));
    const bool walkButtons = typeList.find("button") != std::string_view::npos;

    DomRef collection;
    DomRef element;
    for (const char* tag : {"input", "button"}) {
        if (std::string_view(tag) == "button" && !walkButtons) break;
        collection = TagsOfBody(pageDocument, tag);
        const std::int32_t length = collection.Read("length").ToInt32();
        for (std::int32_t i = 1; i <= length; ++i) {
            element = ItemOf(collection, i - 1);
            if (!InTypeList(typeList, element.Read("type").ToText())) continue;
            ++ordinal;
            if (IsHit(element, identifier)) {
                if (skipCount > 0) {
                    --skipCount;
                    continue;
                }
                return element;
            }
            if (ordinal == position) return element;
        }
    }
    ordinal = -1;
    return DomRef();
}

}  // namespace autolabel::automation
