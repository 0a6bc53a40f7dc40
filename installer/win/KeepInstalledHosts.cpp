// The installer's one custom action, in a DLL of its own that the package carries: before an
// upgrade removes the older version, it reads the redirect hosts of the installed tarnftp.ini
// into every HOSTn property the deployment left empty, so that the new version writes them
// again. It reads the file as the program does, so an upgrade keeps what the program used.
#include "app/win/RedirectHostsProfile.h"
#include "framework/win/WideText.h"

#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <string>

namespace {

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
    wchar_t probe[1] = L"";
    DWORD length = 0;
    if (MsiGetPropertyW(install, name, probe, &length) != ERROR_MORE_DATA)
        return {};
    std::wstring value(length, L'\0');
    ++length; // room for the terminator, which the string keeps beyond its size
    if (MsiGetPropertyW(install, name, value.data(), &length) != ERROR_SUCCESS)
        return {};
    value.resize(length);
    return value;
}

} // namespace

// INSTALLEDFOLDER is the older version's folder (with its trailing backslash), found in the
// registry value the package writes. A missing or unreadable file keeps nothing and fails
// nothing: the hosts are then the deployment's alone.
extern "C" __declspec(dllexport) UINT __stdcall KeepInstalledHosts(MSIHANDLE install) {
    const std::wstring folder = Property(install, L"INSTALLEDFOLDER");
    if (folder.empty())
        return ERROR_SUCCESS;
    const RedirectHosts hosts =
        ReadRedirectHosts(ProfilePathBeside(FromWide((folder + L"\\tarnftp.exe").c_str())));
    for (size_t i = 0; i < hosts.size(); ++i) {
        const std::wstring name = L"HOST" + std::to_wstring(i + 1);
        if (Property(install, name.c_str()).empty() && !hosts[i].empty())
            MsiSetPropertyW(install, name.c_str(), Wide(hosts[i]));
    }
    return ERROR_SUCCESS;
}
