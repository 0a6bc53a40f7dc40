#pragma once

#include <windows.h>

#include <unknwn.h>

#include <cstdio>
#include <utility>

// One move-only owner per handle kind: exactly one release, on every path.
// `put()` hands out the address of the slot for out-parameters; `release()` gives up
// ownership; `reset()` closes what is held and takes a new value.
template <typename Handle, auto Close, Handle Invalid = Handle{}> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle; }
    explicit operator bool() const { return handle != Invalid; }
    Handle* put() {
        reset();
        return &handle;
    }
    Handle release() { return std::exchange(handle, Invalid); }
    void reset(Handle value = Invalid) {
        if (handle != Invalid)
            Close(handle);
        handle = value;
    }

private:
    Handle handle = Invalid;
};

namespace handle_detail {
inline void CloseKey(HKEY h) {
    RegCloseKey(h);
}
inline void CloseIcon(HICON h) {
    DestroyIcon(h);
}
inline void CloseGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void CloseMemoryDc(HDC h) {
    DeleteDC(h);
}
inline void CloseFile(FILE* f) {
    std::fclose(f);
}
inline void CloseModule(HMODULE h) {
    FreeLibrary(h);
}
inline void CloseKernelObject(HANDLE h) {
    CloseHandle(h);
}
inline void ReleaseComObject(IUnknown* object) {
    object->Release();
}
} // namespace handle_detail

using UniqueKey = UniqueHandle<HKEY, handle_detail::CloseKey>;
using UniqueIcon = UniqueHandle<HICON, handle_detail::CloseIcon>;
using UniquePen = UniqueHandle<HPEN, handle_detail::CloseGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, handle_detail::CloseGdiObject>;
using UniqueFont = UniqueHandle<HFONT, handle_detail::CloseGdiObject>;
using UniqueMemoryDc = UniqueHandle<HDC, handle_detail::CloseMemoryDc>;
using UniqueFile = UniqueHandle<FILE*, handle_detail::CloseFile>;
using UniqueModule = UniqueHandle<HMODULE, handle_detail::CloseModule>;
// An event, thread or other kernel object whose handle is null when there is none.
using UniqueKernelObject = UniqueHandle<HANDLE, handle_detail::CloseKernelObject>;
// A COM interface pointer held with one reference, released once.
template <typename Interface>
using UniqueComPointer = UniqueHandle<Interface*, handle_detail::ReleaseComObject>;

// Selects an object into a DC and puts the previous one back when it goes.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) : dc(dc), previous(SelectObject(dc, object)) {}
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
    ~SelectObjectGuard() {
        if (previous)
            SelectObject(dc, previous);
    }

private:
    HDC dc;
    HGDIOBJ previous;
};
