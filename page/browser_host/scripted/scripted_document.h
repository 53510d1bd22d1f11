// An in-memory HTML document behind the late-bound DOM boundary. It offers
// the members the page automation object uses, with the document model's own
// behaviour, and records what was done to it so tests can check balance and
// order.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "page/browser_host/dom_ref.h"
#include "page/browser_host/scripted/html_tree.h"

namespace autolabel::browser_host::scripted {

class ScriptedDocument : public std::enable_shared_from_this<ScriptedDocument> {
  public:
    static std::shared_ptr<ScriptedDocument> FromHtml(std::string_view html);

    // A new reference to the document object, as a document request yields.
    DomRef NewReference();

    // The document's address (`URL`): "about:blank" until set, as a new
    // browser document's.
    void SetUrl(std::string url) { url_ = std::move(url); }
    // The document a frame element (iframe or frame, by id) shows, as its
    // contentWindow.document. A frame without one stands for another site's
    // page, whose document a script of this page cannot read.
    void SetFrameDocument(std::string_view frameId, std::shared_ptr<ScriptedDocument> document);
    // Takes the member away from every object of the document, as an older
    // document mode lacks textContent: its reads and calls fail.
    void Withhold(std::string_view member);

    // References held right now on any object of this document.
    long liveReferences() const { return liveReferences_; }

    // Every member access in order, as "<object>.<member>", e.g.
    // "document.body", "input#r1.type", "input#r1.checked=checked".
    const std::vector<std::string>& calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Logging is on by default; benchmarks turn it off to measure the walk alone.
    void KeepCallLog(bool keep) { keepLog_ = keep; }
    // How many logged calls start with the given text.
    int CountCalls(std::string_view prefix) const;

    // Inspection of the page's state.
    bool IsChecked(std::string_view id) const;
    // Numbers (from 1, page order) of the ticked radio buttons.
    std::vector<int> CheckedRadioNumbers() const;
    // Labels of the clicked elements, in order.
    const std::vector<std::string>& clicks() const { return clicks_; }
    // "label:event" for every FireEvent, in order.
    const std::vector<std::string>& firedEvents() const { return firedEvents_; }
    int submittedForms() const { return submittedForms_; }

    // What clicking the element with this id does besides the default action.
    void OnClick(std::string_view id, std::function<void()> action);
    // Cuts the connection: every later operation on the document's objects fails.
    void Disconnect() { connected_ = false; }
    // Cuts the connection the moment the named member is next used, as a
    // page process that dies between finding an element and using it.
    void DisconnectAt(std::string_view member);

  private:
    ScriptedDocument() = default;

    friend class ScriptedObject;
    friend class DocumentObject;
    friend class ElementObject;
    friend class CollectionObject;
    friend class WindowObject;

    std::string Label(const HtmlElement* element) const;
    bool Checked(const HtmlElement* element) const;
    void SetChecked(HtmlElement* element, bool checked);
    std::vector<HtmlElement*> RadioButtons() const;
    HtmlElement* FindById(std::string_view id) const;

    std::unique_ptr<HtmlElement> root_;
    std::string url_ = "about:blank";
    std::map<const HtmlElement*, std::shared_ptr<ScriptedDocument>> frames_;
    std::set<std::string, std::less<>> withheld_;
    std::map<const HtmlElement*, bool> checked_;
    std::map<std::string, std::function<void()>, std::less<>> clickActions_;
    std::vector<std::string> calls_;
    std::vector<std::string> clicks_;
    std::vector<std::string> firedEvents_;
    long liveReferences_ = 0;
    int submittedForms_ = 0;
    bool connected_ = true;
    bool keepLog_ = true;
    std::string disconnectAt_;
};

}  // namespace autolabel::browser_host::scripted
