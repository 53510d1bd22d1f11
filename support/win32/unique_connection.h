// An event sink advised to a COM object's connection point, unadvised with
// its cookie by the holder.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "support/unique_any.h"
#include "support/win32/com_ptr.h"

namespace autolabel::support::win32 {

struct Connection {
    IConnectionPoint* source = nullptr;  // the holder's reference
    DWORD cookie = 0;
};

struct ConnectionTraits {
    using Type = Connection;
    static Connection None() noexcept { return {}; }
    static bool IsNone(const Connection& connection) noexcept {
        return connection.source == nullptr;
    }
    static void Close(Connection& connection) noexcept {
        connection.source->Unadvise(connection.cookie);
        connection.source->Release();
    }
};
using UniqueConnection = UniqueAny<ConnectionTraits>;

// `sink` advised to the connection point of `object` for `events`; empty
// when the object has none or refuses the sink.
inline UniqueConnection Advise(IUnknown* object, REFIID events, IUnknown* sink) noexcept {
    ComPtr<IConnectionPointContainer> container;
    if (!object ||
        FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())))
        return {};
    ComPtr<IConnectionPoint> source;
    if (FAILED(container->FindConnectionPoint(events, source.Put()))) return {};
    DWORD cookie = 0;
    if (FAILED(source->Advise(sink, &cookie))) return {};
    return UniqueConnection(Connection{source.Detach(), cookie});
}

}  // namespace autolabel::support::win32
