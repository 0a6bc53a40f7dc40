#include "framework/win/ComApartment.h"

#include "framework/win/SystemLibrary.h"

#include <objbase.h>

namespace {

// ole32's address of a function, or null; the library is kept for the life of the process.
FARPROC Ole32Function(const char* name) {
    static const HMODULE ole32 = LoadSystemLibrary(L"ole32.dll");
    return ole32 ? GetProcAddress(ole32, name) : nullptr;
}

template <typename Function> Function* Ole32(const char* name) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(Ole32Function(name)));
}

} // namespace

bool EnterComApartment() {
    thread_local const bool entered = [] {
        const auto coInitializeEx = Ole32<decltype(CoInitializeEx)>("CoInitializeEx");
        if (!coInitializeEx)
            return false;
        // A thread someone else already put in another apartment still has COM.
        const HRESULT result =
            coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return SUCCEEDED(result) || result == RPC_E_CHANGED_MODE;
    }();
    return entered;
}

HRESULT CreateComInstance(REFCLSID server, REFIID interfaceId, void** object) {
    *object = nullptr;
    const auto coCreateInstance = Ole32<decltype(CoCreateInstance)>("CoCreateInstance");
    if (!EnterComApartment() || !coCreateInstance)
        return E_FAIL;
    return coCreateInstance(server, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}
