// A small HTML document of the tests' own behind real IDispatch objects,
// with the members the page automation object uses. It counts references
// and logs the calls it receives, so tests can check balance and order.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/win32/com_object.h"
#include "support/win32/com_ptr.h"

namespace autolabel::tests::win32 {

// The IDispatch plumbing: names matched without regard to case, as
// IDispatch does, and a count of the objects alive.
class TestDispatch : public support::win32::ComObject<IDispatch> {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                        VARIANT* result, EXCEPINFO*, UINT*) override;

    static long Alive() noexcept { return alive_; }

  protected:
    explicit TestDispatch(std::vector<std::wstring> members);
    ~TestDispatch() override;
    // `member` is the index into the names given at construction.
    virtual HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) = 0;
    // Further interfaces this object answers with its IDispatch.
    virtual bool Answers(REFIID) const { return false; }

  private:
    std::vector<std::wstring> members_;
    static long alive_;
};

class TestDocument;

struct ElementMarkup {
    std::wstring tag = L"input";
    std::wstring type{};
    std::optional<std::wstring> name{}, id{}, title{};
    bool checked = false;
    bool hasMouseDownHandler = false;
    bool contentEditable = false;
    // A frame's document (not owned); null: another origin's, which its
    // window refuses to hand over.
    TestDocument* frameDocument = nullptr;
};

class TestElement final : public TestDispatch {
  public:
    TestElement(TestDocument& document, ElementMarkup markup);

    const ElementMarkup& markup() const { return markup_; }
    bool checked() const { return markup_.checked; }
    void SetChecked(bool checked) { markup_.checked = checked; }
    int clicks = 0;
    // Runs inside `click`, as a page's handler does (an alert's modal loop).
    std::function<void()> onClick;
    // How `checked` takes a text: by its truth, as a script engine does, or
    // refused with this error, as a strict boolean property is.
    bool textAsTruth = false;
    HRESULT textRefusal = DISP_E_TYPEMISMATCH;
    // The events fired on it, with the kind of the value that came along.
    std::vector<std::pair<std::wstring, VARTYPE>> firedEvents;

  private:
    HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) override;

    TestDocument& document_;
    ElementMarkup markup_;
    support::win32::ComPtr<IDispatch> mouseDownHandler_;
};

class TestDocument final : public TestDispatch {
  public:
    // Starts with one reference, which the test owns (release with Release()).
    TestDocument();

    TestElement& Add(ElementMarkup markup);
    TestElement& element(size_t index) { return *elements_.at(index).Get(); }
    size_t size() const { return elements_.size(); }
    const std::vector<support::win32::ComPtr<TestElement>>& Elements() const { return elements_; }
    // Every call made on the document's objects, e.g. "tags(input)", "item(2)".
    std::vector<std::string> log;
    // A document without a body reads `body` as null.
    bool hasBody = true;
    // A page in the newest document mode: the body's `all` reads as empty.
    bool bodyHasAll = true;
    // Whether a collection's `item` takes its position as a double (else
    // only as an integer, the documented index).
    bool itemTakesDouble = true;
    // How `item` answers a double it does not take: refused, or S_OK with
    // nothing (VT_EMPTY, or a null object) as for an element not found.
    enum class DoubleRefusal { Error, Empty, NullObject } doubleRefusal = DoubleRefusal::Error;

    // The element with the keyboard focus (not owned); none: the body.
    TestElement* activeElement = nullptr;
    // A rich-text editor's document.
    bool designMode = false;
    // What `readyState` reads: "loading", "interactive" or "complete".
    std::wstring readyState = L"complete";

    // Ticking a radio button clears the others of its name, as a page does.
    void Tick(TestElement& element);

  private:
    HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) override;
    bool Answers(REFIID iid) const override;

    std::vector<support::win32::ComPtr<TestElement>> elements_;
};

// A collection: `body.all` or the result of `tags`.
class TestCollection final : public TestDispatch {
  public:
    TestCollection(TestDocument& document,
                   std::vector<support::win32::ComPtr<TestElement>> elements);

  private:
    HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) override;

    TestDocument& document_;
    std::vector<support::win32::ComPtr<TestElement>> elements_;
};

// A frame's window: its `document`, or a refusal for another origin's.
class TestFrameWindow final : public TestDispatch {
  public:
    explicit TestFrameWindow(TestDocument* document);
    ~TestFrameWindow() override;

  private:
    HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) override;
    TestDocument* document_;
};

// An event handler, as `onmousedown` holds one.
class TestHandler final : public TestDispatch {
  public:
    TestHandler() : TestDispatch({}) {}

  private:
    HRESULT Member(size_t, WORD, DISPPARAMS&, VARIANT*) override { return DISP_E_MEMBERNOTFOUND; }
};

// The body element: `all`, and `getElementsByTagName` where `all` is missing.
class TestBody final : public TestDispatch {
  public:
    explicit TestBody(TestDocument& document);

  private:
    HRESULT Member(size_t member, WORD flags, DISPPARAMS& parameters, VARIANT* result) override;
    TestDocument& document_;
};

}  // namespace autolabel::tests::win32
