#include "tests/win32/support/test_document.h"

#include <mshtml.h>
#include <oleauto.h>

#include "support/win32/unique_variant.h"
#include "support/win32/utf16.h"

namespace autolabel::tests::win32 {

using namespace support::win32;

long TestDispatch::alive_ = 0;

namespace {

// IDispatch hands arguments over last to first.
VARIANT* Argument(DISPPARAMS& parameters, UINT index) {
    if (index >= parameters.cArgs) return nullptr;
    return &parameters.rgvarg[parameters.cArgs - 1 - index];
}

bool IsGet(WORD flags) { return flags & DISPATCH_PROPERTYGET; }

void SetText(VARIANT* result, const std::optional<std::wstring>& text) {
    if (!result) return;
    result->vt = VT_BSTR;
    // An absent attribute reads as a null BSTR, which is the empty text.
    result->bstrVal =
        text ? ::SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
}

void SetObject(VARIANT* result, IDispatch* object) {
    if (!result) {
        if (object) object->Release();  // nobody takes it
        return;
    }
    result->vt = object ? VT_DISPATCH : VT_NULL;
    result->pdispVal = object;
}

}  // namespace

TestDispatch::TestDispatch(std::vector<std::wstring> members) : members_(std::move(members)) {
    ++alive_;
}

TestDispatch::~TestDispatch() { --alive_; }

STDMETHODIMP TestDispatch::QueryInterface(REFIID iid, void** object) {
    if (Answers(iid)) return AnswerQueryInterface(iid, object, {{iid, this}});
    return AnswerQueryInterface(iid, object, {{IID_IUnknown, this}, {IID_IDispatch, this}});
}

STDMETHODIMP TestDispatch::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP TestDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP TestDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count != 1) return E_INVALIDARG;
    for (size_t i = 0; i < members_.size(); ++i) {
        if (::_wcsicmp(names[0], members_[i].c_str()) == 0) {
            ids[0] = static_cast<DISPID>(i + 1);
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP TestDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                  VARIANT* result, EXCEPINFO*, UINT*) {
    if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    if (!parameters) return E_INVALIDARG;
    if (result) ::VariantInit(result);
    return Member(static_cast<size_t>(id - 1), flags, *parameters, result);
}

// --- element -----------------------------------------------------------------

TestElement::TestElement(TestDocument& document, ElementMarkup markup)
    : TestDispatch({L"type", L"name", L"id", L"title", L"checked", L"onmousedown", L"FireEvent",
                    L"click", L"tagName", L"isContentEditable", L"contentWindow"}),
      document_(document),
      markup_(std::move(markup)) {
    if (markup_.hasMouseDownHandler)
        mouseDownHandler_ = ComPtr<IDispatch>::Adopt(new TestHandler());
}

HRESULT TestElement::Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) {
    enum {
        Type,
        Name,
        Id,
        Title,
        Checked,
        OnMouseDown,
        FireEvent,
        Click,
        TagName,
        IsContentEditable,
        ContentWindow
    };
    switch (member) {
        case TagName:
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            SetText(result, markup_.tag);
            return S_OK;
        case IsContentEditable:
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            if (result) {
                result->vt = VT_BOOL;
                result->boolVal = markup_.contentEditable ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
        case ContentWindow:
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            if (markup_.tag != L"iframe" && markup_.tag != L"frame") {
                SetObject(result, nullptr);
                return S_OK;
            }
            SetObject(result, new TestFrameWindow(markup_.frameDocument));
            return S_OK;
        case Type:
        case Name:
        case Id:
        case Title: {
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            static const char* const names[] = {"type", "name", "id", "title"};
            document_.log.push_back(names[member]);
            const std::optional<std::wstring>* texts[] = {nullptr, &markup_.name, &markup_.id,
                                                          &markup_.title};
            SetText(result, member == Type ? std::optional(markup_.type) : *texts[member]);
            return S_OK;
        }
        case Checked: {
            if (IsGet(flags)) {
                if (result) {
                    result->vt = VT_BOOL;
                    result->boolVal = markup_.checked ? VARIANT_TRUE : VARIANT_FALSE;
                }
                return S_OK;
            }
            if (!(flags & DISPATCH_PROPERTYPUT) || parameters.cNamedArgs != 1 ||
                parameters.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || parameters.cArgs != 1)
                return DISP_E_PARAMNOTOPTIONAL;
            UniqueVariant truth;
            const VARIANT& given = parameters.rgvarg[0];
            if (textAsTruth && given.vt == VT_BSTR) {
                truth.Get()->vt = VT_BOOL;
                truth.Get()->boolVal = ::SysStringLen(given.bstrVal) ? VARIANT_TRUE : VARIANT_FALSE;
            } else if (FAILED(::VariantChangeType(truth.Put(), const_cast<VARIANT*>(&given), 0,
                                                  VT_BOOL))) {
                // A boolean property: what does not convert is refused.
                document_.log.push_back("put checked refused");
                return textRefusal;
            }
            document_.log.push_back("put checked");
            if (truth.Get()->boolVal != VARIANT_FALSE)
                document_.Tick(*this);
            else
                markup_.checked = false;
            return S_OK;
        }
        case OnMouseDown:
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            document_.log.push_back("onmousedown");
            if (mouseDownHandler_) mouseDownHandler_->AddRef();  // for the caller
            SetObject(result, mouseDownHandler_.Get());
            return S_OK;
        case FireEvent: {
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            VARIANT* name = Argument(parameters, 0);
            VARIANT* value = Argument(parameters, 1);
            if (!name || name->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
            const std::wstring event = name->bstrVal ? name->bstrVal : L"";
            firedEvents.emplace_back(event, value ? value->vt : VARTYPE{VT_ERROR});
            document_.log.push_back("FireEvent(" + WideToUtf8(event) + ")");
            if (result) {
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
            }
            return S_OK;
        }
        case Click:
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            document_.log.push_back("click");
            ++clicks;
            if (onClick) onClick();
            return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

// --- collection --------------------------------------------------------------

TestCollection::TestCollection(TestDocument& document, std::vector<ComPtr<TestElement>> elements)
    : TestDispatch({L"length", L"item", L"tags"}),
      document_(document),
      elements_(std::move(elements)) {}

HRESULT TestCollection::Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) {
    enum { Length, Item, Tags };
    switch (member) {
        case Length:
            if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
            document_.log.push_back("length");
            if (result) {
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(elements_.size());
            }
            return S_OK;
        case Item: {
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            VARIANT* index = Argument(parameters, 0);
            // The position comes as a double, or as an integer after a refusal.
            if (!index || (index->vt != VT_R8 && index->vt != VT_I4)) return DISP_E_TYPEMISMATCH;
            if (index->vt == VT_R8 && !document_.itemTakesDouble) {
                document_.log.push_back("item refused");
                switch (document_.doubleRefusal) {
                    case TestDocument::DoubleRefusal::Error:
                        return DISP_E_TYPEMISMATCH;
                    case TestDocument::DoubleRefusal::Empty:
                        return S_OK;  // the result stays VT_EMPTY
                    case TestDocument::DoubleRefusal::NullObject:
                        if (result) {
                            result->vt = VT_DISPATCH;
                            result->pdispVal = nullptr;
                        }
                        return S_OK;
                }
            }
            const double position = index->vt == VT_R8 ? index->dblVal : index->lVal;
            document_.log.push_back(std::string(index->vt == VT_R8 ? "item(" : "item(int ") +
                                    std::to_string(static_cast<long>(position)) + ")");
            if (position < 0 || position >= static_cast<double>(elements_.size())) {
                SetObject(result, nullptr);
                return S_OK;
            }
            auto element = elements_[static_cast<size_t>(position)];
            SetObject(result, element.Detach());
            return S_OK;
        }
        case Tags: {
            if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
            VARIANT* tag = Argument(parameters, 0);
            if (!tag || tag->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
            const std::wstring name = tag->bstrVal ? tag->bstrVal : L"";
            document_.log.push_back("tags(" + WideToUtf8(name) + ")");
            std::vector<ComPtr<TestElement>> found;
            for (const auto& element : elements_)
                if (::_wcsicmp(element->markup().tag.c_str(), name.c_str()) == 0)
                    found.push_back(element);
            SetObject(result, new TestCollection(document_, std::move(found)));
            return S_OK;
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

// --- body and document ---------------------------------------------------------

TestBody::TestBody(TestDocument& document)
    : TestDispatch({L"all", L"getElementsByTagName"}), document_(document) {}

HRESULT TestBody::Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) {
    enum { All, GetElementsByTagName };
    if (member == All) {
        if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
        document_.log.push_back("all");
        // Missing in the newest mode: it reads as undefined.
        if (document_.bodyHasAll)
            SetObject(result, new TestCollection(document_, document_.Elements()));
        return S_OK;
    }
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    VARIANT* tag = Argument(parameters, 0);
    if (!tag || tag->vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
    const std::wstring name = tag->bstrVal ? tag->bstrVal : L"";
    document_.log.push_back("getElementsByTagName(" + WideToUtf8(name) + ")");
    std::vector<ComPtr<TestElement>> found;
    for (const auto& element : document_.Elements())
        if (::_wcsicmp(element->markup().tag.c_str(), name.c_str()) == 0) found.push_back(element);
    SetObject(result, new TestCollection(document_, std::move(found)));
    return S_OK;
}

TestFrameWindow::TestFrameWindow(TestDocument* document)
    : TestDispatch({L"document"}), document_(document) {
    if (document_) document_->AddRef();
}

TestFrameWindow::~TestFrameWindow() {
    if (document_) document_->Release();
}

HRESULT TestFrameWindow::Member(size_t, WORD flags, DISPPARAMS&, VARIANT* result) {
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    if (!document_) return E_ACCESSDENIED;  // another origin's document
    document_->AddRef();                    // for the caller
    SetObject(result, document_);
    return S_OK;
}

TestDocument::TestDocument()
    : TestDispatch({L"body", L"activeElement", L"designMode", L"readyState"}) {}

TestElement& TestDocument::Add(ElementMarkup markup) {
    if (markup.tag == L"button" && markup.type.empty()) markup.type = L"submit";
    elements_.push_back(ComPtr<TestElement>::Adopt(new TestElement(*this, std::move(markup))));
    return *elements_.back().Get();
}

void TestDocument::Tick(TestElement& element) {
    if (element.markup().type == L"radio" && element.markup().name) {
        for (const auto& other : elements_)
            if (other->markup().type == L"radio" && other->markup().name == element.markup().name)
                other->SetChecked(false);
    }
    element.SetChecked(true);
}

HRESULT TestDocument::Member(size_t member, WORD flags, DISPPARAMS&, VARIANT* result) {
    enum { Body, ActiveElement, DesignMode, ReadyState };
    if (!IsGet(flags)) return DISP_E_MEMBERNOTFOUND;
    if (member == ReadyState) {
        SetText(result, readyState);
        return S_OK;
    }
    if (member == ActiveElement) {
        if (activeElement) activeElement->AddRef();  // for the caller
        SetObject(result, activeElement);
        return S_OK;
    }
    if (member == DesignMode) {
        SetText(result, std::optional<std::wstring>(designMode ? L"On" : L"Off"));
        return S_OK;
    }
    log.push_back("body");
    SetObject(result, hasBody ? new TestBody(*this) : nullptr);
    return S_OK;
}

bool TestDocument::Answers(REFIID iid) const { return iid == IID_IHTMLDocument; }

}  // namespace autolabel::tests::win32
