#include "app/win/RedirectHostsProfile.h"

#include "app/ProfileReader.h"
#include "framework/win/WideText.h"

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
    const Text section = redirectHostsSection;
    for (size_t i = 0; i < hosts.size(); ++i) {
        // The keys are made from the list itself, so they cannot disagree with the number of
        // hosts.
        const Text key = RedirectHostKey(i);
        DWORD length = GetPrivateProfileStringW(Wide(section), Wide(key), L"", buffer.data(),
                                                bufferLength, Wide(profilePath));
        hosts[i] = FromWide(buffer.data(), length);
    }
    return hosts;
}
