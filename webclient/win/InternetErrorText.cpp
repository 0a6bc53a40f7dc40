#include "webclient/win/InternetErrorText.h"
#include "framework/win/WideText.h"

#include "framework/win/Handles.h"
#include "framework/win/SystemLibrary.h"
#include "webclient/win/WinInetApi.h"

#include <memory>
#include <string>

namespace {

constexpr std::size_t maxLength = 511;
constexpr DWORD systemDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT);

struct LocalFreeDeleter {
    void operator()(wchar_t* p) const { LocalFree(p); }
};

Text Truncated(const wchar_t* text, std::size_t length) {
    if (length > maxLength)
        length = maxLength;
    return FromWide(text, length);
}

// FormatMessageW allocates the buffer itself, so a message longer than we show is cut
// rather than lost. Inserts are ignored: we have no arguments to give them.
Text FormattedMessage(DWORD source, HMODULE module, DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        source | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, module, code,
        systemDefaultLanguage, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::unique_ptr<wchar_t, LocalFreeDeleter> owner(buffer);
    return length ? Truncated(buffer, length) : Text{};
}

Text LastResponseInfo() {
    const WinInetApi* api = LoadedWinInet();
    if (!api)
        return {};
    std::wstring buffer(maxLength + 1, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD serverError = 0;
        DWORD length = static_cast<DWORD>(buffer.size());
        if (api->InternetGetLastResponseInfoW(&serverError, buffer.data(), &length))
            return Truncated(buffer.data(), length);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        buffer.assign(length + 1, L'\0');
    }
    return {};
}

} // namespace

Text InternetErrorText(DWORD code) {
    if (code == ERROR_INTERNET_EXTENDED_ERROR) {
        Text info = LastResponseInfo();
        if (!info.empty())
            return info;
        // No response information: the tables' own text for the code is the best we have.
    }
    // WinInet is loaded by the first exchange, so its table may be asked for before anything
    // has loaded it; then it is mapped for its messages alone, from the system folder only.
    HMODULE wininet = GetModuleHandleW(L"WININET.DLL");
    UniqueModule mapped;
    if (!wininet) {
        mapped.reset(LoadSystemLibrary(L"wininet.dll", LOAD_LIBRARY_AS_DATAFILE));
        wininet = mapped.get();
    }
    if (wininet) {
        Text text = FormattedMessage(FORMAT_MESSAGE_FROM_HMODULE, wininet, code);
        if (!text.empty())
            return text;
    }
    return FormattedMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
}
