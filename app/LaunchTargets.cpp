#include "app/LaunchTargets.h"

#include "common/UserTexts.h"
#include "webclient/PlainAddress.h"
#include "webclient/Url.h"

#include <initializer_list>
#include <string_view>

namespace {

constexpr char16_t autoLogonPath[] = u"/secure/autologon.aspx?sesID=";

bool IsUnreservedInFtpCredential(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
        return true;
    return std::u16string_view(u"-._~").find(c) != std::u16string_view::npos;
}

// The pieces one after the other. A secret, since a session id or a password may be among them.
SecretText Joined(std::initializer_list<TextView> pieces) {
    SecretText joined;
    for (TextView piece : pieces)
        joined += piece;
    return joined;
}

void AppendFtpCredential(SecretText& location, TextView credential) {
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    for (char16_t c : credential) {
        if (c >= 0x80 || IsUnreservedInFtpCredential(c)) {
            location += c;
        } else {
            location += u'%';
            location += static_cast<char16_t>(hexDigits[c >> 4]);
            location += static_cast<char16_t>(hexDigits[c & 0xF]);
        }
    }
}

// Hands target to the shell when the pieces the service sent are plain: the whole address
// for a web page, the ftp host for the explorer.
void OpenChecked(Shell& shell, MessageSink& sink, ShellOwner owner, const LaunchTarget& target,
                 TextView webAppUrl) {
    if (webAppUrl.empty())
        return;
    const bool plain =
        target.parameters ? IsPlainFtpHost(HostFromUrl(webAppUrl)) : IsPlainWebAddress(target.file);
    if (plain)
        shell.Open(owner, target.file, target.parameters);
    else
        sink.ShowMessage(RefusedAddressMessage(webAppUrl));
}

Text MountFailureMessage(const MountResult& result) {
    switch (result.outcome) {
    case MountOutcome::Refused:
        return UserTexts::mountRefused;
    case MountOutcome::TimedOut:
        return UserTexts::mountTimedOut;
    default:
        return UserTexts::mountFailed + result.message;
    }
}

// Mounts the storage and hands the file manager its location without the password.
void MountAndOpen(Shell& shell, MessageSink& sink, StorageMounter& mounter, SecretText fileManager,
                  TextView user, TextView password, TextView webAppUrl) {
    const SecretText location = FtpStorageLocation(user, webAppUrl);
    if (!user.empty()) {
        const MountResult mounted = mounter.Mount(location, SecretText(password));
        if (mounted.outcome != MountOutcome::Mounted) {
            sink.ShowMessage(MountFailureMessage(mounted));
            return;
        }
    }
    shell.Open(0, fileManager, location);
}

} // namespace

SecretText AutoLogonAddress(const WebPageMode& page, TextView webAppUrl, TextView sessionId) {
    Text targetPage(page.page);
    if (page.pageEncoded)
        UrlEncode(targetPage);
    return Joined({webAppUrl, autoLogonPath, sessionId, u"&gotoURL=", targetPage});
}

SecretText FtpLocation(TextView user, TextView password, TextView webAppUrl) {
    SecretText location(u"ftp://");
    AppendFtpCredential(location, user);
    location += u':';
    AppendFtpCredential(location, password);
    location += u'@';
    location += HostFromUrl(webAppUrl);
    return location;
}

SecretText FtpStorageLocation(TextView user, TextView webAppUrl) {
    SecretText location(u"ftp://");
    if (!user.empty()) {
        AppendFtpCredential(location, user);
        location += u'@';
    }
    location += HostFromUrl(webAppUrl);
    location += u'/';
    return location;
}

LaunchTarget DestinationTarget(LaunchMode launchMode, TextView user, TextView password,
                               TextView webAppUrl, TextView sessionId,
                               const FileManagerLocator& fileManager) {
    if (const WebPageMode* page = launchMode.WebPage())
        return {AutoLogonAddress(*page, webAppUrl, sessionId), std::nullopt};
    return {SecretText(fileManager.FileManagerPath()), FtpLocation(user, password, webAppUrl)};
}

Text SignUpPageAddress(TextView webAppUrl) {
    return Text(webAppUrl) + u"/secure/signup.aspx?from=tarnupload";
}

Text HelpPageAddress(TextView webAppUrl) {
    return Text(webAppUrl) + u"/help/FTPHelp.aspx";
}

void OpenDestination(Shell& shell, MessageSink& sink, const FileManagerLocator& fileManager,
                     LaunchMode launchMode, TextView user, TextView password, TextView webAppUrl,
                     TextView sessionId, StorageMounter* mounter, bool rememberLogon) {
    const HandOverRoad road = mounter && !webAppUrl.empty() && !launchMode.OpensWebPage() &&
                                      IsPlainFtpHost(HostFromUrl(webAppUrl))
                                  ? mounter->RoadForFileManager(rememberLogon)
                                  : HandOverRoad::PasswordInLocation;
    switch (road) {
    case HandOverRoad::MountFirst:
    case HandOverRoad::PasswordServerFirst:
        MountAndOpen(shell, sink, *mounter, SecretText(fileManager.FileManagerPath()), user,
                     password, webAppUrl);
        return;
    case HandOverRoad::DesktopCannotOpenFtp:
        sink.ShowMessage(UserTexts::desktopCannotOpenFtp);
        return;
    case HandOverRoad::PasswordInLocation:
        break;
    }
    OpenChecked(shell, sink, 0,
                DestinationTarget(launchMode, user, password, webAppUrl, sessionId, fileManager),
                webAppUrl);
}

void OpenSignUpPage(Shell& shell, MessageSink& sink, ShellOwner owner, TextView webAppUrl) {
    OpenChecked(shell, sink, owner, {SecretText(SignUpPageAddress(webAppUrl)), std::nullopt},
                webAppUrl);
}

void OpenHelpPage(Shell& shell, MessageSink& sink, ShellOwner owner, TextView webAppUrl) {
    OpenChecked(shell, sink, owner, {SecretText(HelpPageAddress(webAppUrl)), std::nullopt},
                webAppUrl);
}
