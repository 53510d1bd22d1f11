#include "page/collection_item.h"

#include "page/browser_host/value.h"

namespace autolabel::automation {

using browser_host::DomRef;
using browser_host::Value;

DomRef ItemOf(const DomRef& collection, std::int32_t index) {
    Value item;
    const Value asDouble[] = {Value::Double(index)};
    if (collection.TryCall("item", asDouble, item))
        if (DomRef element = item.ToObject()) return element;
    const Value asInteger[] = {Value::Int32(index)};
    collection.TryCall("item", asInteger, item);
    return item.ToObject();
}

}  // namespace autolabel::automation
