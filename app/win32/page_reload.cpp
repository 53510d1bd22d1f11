#include "app/win32/page_reload.h"

namespace autolabel::app::win32 {

void PageReload::Reload(ReloadTarget& target) const {
    // Refresh would re-send the form, or ask with a modal dialog whether to,
    // again at every automatic pass.
    if (!fromPost_) {
        target.Refresh2(kReloadLevel);
        return;
    }
    // Without an address there is nothing to ask for that would not re-post.
    const std::wstring address = target.LocationUrl();
    if (!address.empty()) target.NavigateTo(address);
}

}  // namespace autolabel::app::win32
