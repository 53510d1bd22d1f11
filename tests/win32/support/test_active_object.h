// The control's active object, as a test double: records the keys it is
// given and the frame activations it is told of.
#pragma once

#include <windows.h>
#include <mshtmhst.h>
#include <ole2.h>

#include <functional>
#include <vector>

#include "support/win32/com_object.h"

namespace autolabel::tests::win32 {

class TestActiveObject final : public support::win32::ComObject<IOleInPlaceActiveObject> {
  public:
    std::vector<MSG> translated;
    std::vector<bool> frameActivations;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return support::win32::AnswerQueryInterface(
            iid, object,
            {{IID_IUnknown, this}, {IID_IOleWindow, this}, {IID_IOleInPlaceActiveObject, this}});
    }
    STDMETHODIMP GetWindow(HWND* window) override {
        if (window) *window = nullptr;
        return E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // The document host the control asks first, as MSHTML does; none: not asked.
    IDocHostUIHandler* host = nullptr;

    // What the document host answered for each key it was asked about.
    std::vector<HRESULT> hostAnswers;
    // Runs inside TranslateAccelerator, as the control's handling of a key
    // does (a key that opens a window).
    std::function<void()> onTranslate;
    // S_OK: the control used the key, as it does with its own; S_FALSE: it
    // did not (a Tab past the end of the page's order).
    HRESULT answer = S_OK;

    STDMETHODIMP TranslateAccelerator(LPMSG message) override {
        translated.push_back(*message);
        if (host) hostAnswers.push_back(host->TranslateAccelerator(message, nullptr, 0));
        if (onTranslate) onTranslate();
        return answer;
    }
    STDMETHODIMP OnFrameWindowActivate(BOOL active) override {
        frameActivations.push_back(active != FALSE);
        return S_OK;
    }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
};

}  // namespace autolabel::tests::win32
