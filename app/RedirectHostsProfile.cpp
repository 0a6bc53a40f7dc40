#include "app/RedirectHostsProfile.h"

#include "framework/WideText.h"

#include <windows.h>

#include <vector>

Text ProfilePathBeside(const Text& executablePath) {
    size_t lastBackslash = executablePath.rfind(u'\\');
    Text folder = lastBackslash == Text::npos ? Text() : executablePath.substr(0, lastBackslash);
    return folder + u"\\tarnftp.ini";
}

RedirectHosts ReadRedirectHosts(const Text& profilePath) {
    constexpr DWORD bufferLength = 4096;
    std::vector<wchar_t> buffer(bufferLength);
    RedirectHosts hosts;
    const wchar_t* keys[] = {L"Host1", L"Host2", L"Host3"};
    for (size_t i = 0; i < hosts.size(); ++i) {
        DWORD length = GetPrivateProfileStringW(L"RedirectHosts", keys[i], L"", buffer.data(),
                                                bufferLength, Wide(profilePath));
        hosts[i].assign(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
    return hosts;
}
