#include "app/win32/file_drop_filter.h"

#include <utility>

namespace autolabel::app::win32 {

using support::win32::AnswerQueryInterface;

namespace {

bool CarriesFiles(IDataObject* data) {
    if (!data) return false;
    FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data->QueryGetData(&files) == S_OK;
}

HRESULT Refuse(DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace

STDMETHODIMP FileDropFilter::QueryInterface(REFIID iid, void** object) {
    return AnswerQueryInterface(iid, object, {{IID_IUnknown, this}, {IID_IDropTarget, this}});
}

STDMETHODIMP FileDropFilter::DragEnter(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    refusing_ = !target_ || CarriesFiles(data);
    if (refusing_) return Refuse(effect);
    return target_->DragEnter(data, keys, at, effect);
}

STDMETHODIMP FileDropFilter::DragOver(DWORD keys, POINTL at, DWORD* effect) {
    if (refusing_) return Refuse(effect);
    return target_->DragOver(keys, at, effect);
}

STDMETHODIMP FileDropFilter::DragLeave() {
    if (std::exchange(refusing_, false)) return S_OK;
    return target_->DragLeave();
}

STDMETHODIMP FileDropFilter::Drop(IDataObject* data, DWORD keys, POINTL at, DWORD* effect) {
    if (std::exchange(refusing_, false)) return Refuse(effect);
    if (CarriesFiles(data)) {
        target_->DragLeave();  // it saw the drag begin: it ends elsewhere
        return Refuse(effect);
    }
    return target_->Drop(data, keys, at, effect);
}

}  // namespace autolabel::app::win32
