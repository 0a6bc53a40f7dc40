#include "app/win/RedirectHostsProfile.h"

#include "framework/win/WideText.h"

#include <windows.h>

#include <string>
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
    for (size_t i = 0; i < hosts.size(); ++i) {
        // "Host1", "Host2", ...: the keys are made from the list itself, so they cannot
        // disagree with the number of hosts.
        const std::wstring key = L"Host" + std::to_wstring(i + 1);
        DWORD length = GetPrivateProfileStringW(L"RedirectHosts", key.c_str(), L"", buffer.data(),
                                                bufferLength, Wide(profilePath));
        hosts[i] = FromWide(buffer.data(), length);
    }
    return hosts;
}
