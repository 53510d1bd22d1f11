// The IUnknown half of every COM object of ours: a reference count that
// starts at one (for ComPtr::Adopt) and QueryInterface from a table.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <initializer_list>

namespace autolabel::support::win32 {

// One interface an object answers to, as the pointer of that interface.
struct InterfaceEntry {
    const IID& iid;
    IUnknown* pointer;
};

// The pointer of the first entry for `iid`, with a reference added.
inline HRESULT AnswerQueryInterface(REFIID iid, void** object,
                                    std::initializer_list<InterfaceEntry> entries) noexcept {
    if (!object) return E_POINTER;
    for (const InterfaceEntry& entry : entries) {
        if (::IsEqualIID(iid, entry.iid)) {
            entry.pointer->AddRef();
            *object = entry.pointer;
            return S_OK;
        }
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// Implements AddRef and Release for all of `Interfaces` at once; the object
// deletes itself when the last reference goes.
template <typename... Interfaces>
class ComObject : public Interfaces... {
  public:
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    ULONG References() const noexcept { return references_; }

  protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

  private:
    std::atomic<ULONG> references_{1};
};

}  // namespace autolabel::support::win32
