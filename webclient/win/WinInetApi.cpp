#include "webclient/win/WinInetApi.h"

#include "common/CommandFailure.h"
#include "framework/win/Handles.h"
#include "framework/win/SystemLibrary.h"
#include "webclient/win/InternetErrorText.h"

#include <optional>
#include <type_traits>

namespace {

// Filled once and kept for the life of the process: the library is never freed, because
// internet handles owned by static objects are closed through it during shutdown.
std::optional<WinInetApi> loaded;

[[noreturn]] void Fail(DWORD code) {
    throw CommandFailure(code, InternetErrorText(code));
}

} // namespace

const WinInetApi& WinInet() {
    if (loaded)
        return *loaded;
    UniqueModule library(LoadSystemLibrary(L"wininet.dll"));
    if (!library)
        Fail(GetLastError());
    WinInetApi api;
    const auto bind = [&library](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(
            reinterpret_cast<void*>(GetProcAddress(library.get(), name)));
        return slot != nullptr;
    };
#define TARN_WININET_BIND(function)                                                                \
    if (!bind(api.function, #function))                                                            \
        Fail(GetLastError());
    TARN_WININET_FUNCTIONS(TARN_WININET_BIND)
#undef TARN_WININET_BIND
    library.release();
    return loaded.emplace(api);
}

const WinInetApi* LoadedWinInet() noexcept {
    return loaded ? &*loaded : nullptr;
}

DWORD WINAPI WinInetAttemptConnect(DWORD reserved) {
    return WinInet().InternetAttemptConnect(reserved);
}
