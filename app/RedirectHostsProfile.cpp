#include "app/RedirectHostsProfile.h"

#include "framework/WideText.h"

#include <windows.h>

#include <vector>

Text ProfilePathBeside(const Text& executablePath) {
    // Without a folder there is no file beside the executable: "\tarnftp.ini" would be the
    // root of the current drive.
    const size_t lastBackslash = executablePath.rfind(u'\\');
    if (lastBackslash == Text::npos)
        return {};
    return executablePath.substr(0, lastBackslash) + u"\\tarnftp.ini";
}

RedirectHosts ReadRedirectHosts(const Text& profilePath) {
    constexpr DWORD bufferLength = 4096;
    std::vector<wchar_t> buffer(bufferLength);
    RedirectHosts hosts;
    if (profilePath.empty())
        return hosts;
    const wchar_t* keys[] = {L"Host1", L"Host2", L"Host3"};
    for (size_t i = 0; i < hosts.size(); ++i) {
        DWORD length = GetPrivateProfileStringW(L"RedirectHosts", keys[i], L"", buffer.data(),
                                                bufferLength, Wide(profilePath));
        hosts[i].assign(reinterpret_cast<const char16_t*>(buffer.data()), length);
    }
    return hosts;
}
