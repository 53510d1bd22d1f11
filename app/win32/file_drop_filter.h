// The page's drop target with files kept out: a file dropped on the page
// would make the control show that file instead of the forum. Text and
// anything else dragged inside the page still reach the control's target.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "support/win32/com_object.h"
#include "support/win32/com_ptr.h"

namespace autolabel::app::win32 {

class FileDropFilter final : public support::win32::ComObject<IDropTarget> {
  public:
    // Starts with one reference; `target` is the control's own (may be null).
    explicit FileDropFilter(IDropTarget* target) noexcept
        : target_(support::win32::ComPtr<IDropTarget>::Share(target)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) override;

  private:
    ~FileDropFilter() override = default;

    support::win32::ComPtr<IDropTarget> target_;
    bool refusing_ = false;  // the drag under way carries files
};

}  // namespace autolabel::app::win32
